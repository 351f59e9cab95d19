// presenze-jet ACCESS_FILE SQLITE_FILE
// Helper process of Presenze: copies the tables of an Access file into a new
// SQLite file. Exit status 0 on success; otherwise the reason is on stderr.

#include "data/JetReader.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "Uso: presenze-jet FILE_ACCESS FILE_SQLITE\n";
        return 2;
    }
    const std::string error = presenze::convertJetToSqlite(argv[1], argv[2]);
    if (!error.empty()) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}
