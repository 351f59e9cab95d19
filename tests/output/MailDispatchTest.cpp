#include "output/MailDispatch.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace presenze;
namespace fs = std::filesystem;

TEST(InviaEMail, MessageFileHoldsOggettoThenTheShownText)
{
    test::TempDir dir;
    const DataFolder folder(dir.path());
    const auto path = writeMailFile(folder, "7", "");
    EXPECT_EQ(path, dir / "e-mail7.txt");
    EXPECT_EQ(test::readFile(path), "OGGETTO\r\n\r\n");

    // A second dispatch replaces the first; LF line ends become CR LF.
    writeMailFile(folder, "7", "caff\xE8 |--|\nriga 2\r\n");
    EXPECT_EQ(test::readFile(path), "OGGETTO\r\ncaff\xE8 |--|\r\nriga 2\r\n\r\n");
}

TEST(InviaEMail, TheMailProgramFromPresenzeMailOrOnThePath)
{
    test::TempDir dir;
    const auto program = dir / "Corvex.exe";
    test::writeFile(program, "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
    test::writeFile(dir / "posta", "#!/bin/sh\n");
    ::chmod((dir / "posta").c_str(), 0644); // not executable

    auto env = [&](std::optional<std::string> mail, std::string path) -> EnvironmentLookup {
        return [=](std::string_view name) -> std::optional<std::string> {
            if (name == "PRESENZE_MAIL")
                return mail;
            if (name == "PATH")
                return path;
            return std::nullopt;
        };
    };
    const std::string pathWith = "/nonexistent:" + dir.path().string();
    EXPECT_EQ(findMailProgram(env(std::nullopt, pathWith)), program);
    EXPECT_FALSE(findMailProgram(env(std::nullopt, "/nonexistent")));
    EXPECT_FALSE(findMailProgram(env(std::nullopt, "")));
    EXPECT_EQ(findMailProgram(env(std::string("sh"), "/bin:/usr/bin"))->filename(), "sh");
    EXPECT_EQ(findMailProgram(env(program.string(), "")), program);
    EXPECT_FALSE(findMailProgram(env((dir / "posta").string(), pathWith)));
    EXPECT_EQ(findMailProgram(env(std::string("  "), pathWith)), program); // blank: unset

    // The message file's path goes to the mail program; without one, the
    // desktop's mail program gets it attached.
    const auto desktop = dir / "desktop";
    fs::create_directories(desktop);
    test::writeFile(desktop / "xdg-email", "#!/bin/sh\n");
    ::chmod((desktop / "xdg-email").c_str(), 0755);
    const fs::path message = dir / "e-mail7.txt";
    const std::string both = pathWith + ":" + desktop.string();
    const struct {
        std::optional<std::string> mail;
        std::string path;
        fs::path program; // empty: none
        std::vector<std::string> args;
    } cases[] = {
        {std::nullopt, both, program, {message.string()}},
        {std::string("sh"), desktop.string() + ":/bin:/usr/bin", "/bin/sh", {message.string()}},
        {std::nullopt, desktop.string(), desktop / "xdg-email", {"--attach", message.string()}},
        {(dir / "manca").string(),
         desktop.string(),
         desktop / "xdg-email",
         {"--attach", message.string()}},
        {std::nullopt, "/nonexistent", {}, {}},
    };
    for (const auto& c : cases) {
        const auto command = mailCommand(message, env(c.mail, c.path));
        EXPECT_EQ(command ? command->program : fs::path(), c.program) << c.path;
        EXPECT_EQ(command ? command->args : std::vector<std::string>(), c.args) << c.path;
    }
}
