#include "gui/desk/DataOrigin.h"

#include "data/Text1252.h"
#include "store/GroupName.h"
#include "store/StoreAddress.h"
#include "store/StoreSource.h"

#include <QSettings>
#include <QString>

namespace presenze {
namespace {

const QString kKindKey = QStringLiteral("OrigineDati/tipo");
const QString kConninfoKey = QStringLiteral("OrigineDati/connessione");
const QString kGroupKey = QStringLiteral("OrigineDati/gruppo");
const QString kServerKind = QStringLiteral("server");
const QString kFolderKind = QStringLiteral("cartella");

// The station's own settings (not the data folder's).
QSettings stationSettings()
{
    return QSettings(QStringLiteral("presenze"), QStringLiteral("presenze"));
}

} // namespace

DataOrigin DataOrigin::server(std::string conninfo, std::string group)
{
    DataOrigin origin;
    origin.m_server = true;
    origin.m_conninfo = std::move(conninfo);
    origin.m_group = std::move(group);
    return origin;
}

DataOrigin DataOrigin::load()
{
    const QSettings settings = stationSettings();
    if (settings.value(kKindKey).toString() != kServerKind)
        return {};
    DataOrigin origin = server(settings.value(kConninfoKey).toString().toStdString(),
                               utf8ToCp1252(settings.value(kGroupKey).toString().toStdString()));
    return origin.problem() ? DataOrigin() : origin;
}

void DataOrigin::save() const
{
    if (problem())
        return;
    QSettings settings = stationSettings();
    settings.setValue(kKindKey, m_server ? kServerKind : kFolderKind);
    if (m_server) {
        settings.setValue(kConninfoKey, QString::fromStdString(m_conninfo));
        settings.setValue(kGroupKey, QString::fromStdString(cp1252ToUtf8(m_group)));
    } else {
        settings.remove(kConninfoKey);
        settings.remove(kGroupKey);
    }
    settings.sync();
}

std::optional<std::string> DataOrigin::problem() const
{
    if (!m_server)
        return std::nullopt;
    if (m_conninfo.empty())
        return "Indicare la connessione al server.";
    if (auto refused = checkStoreAddress(m_conninfo, "nella connessione"))
        return refused;
    if (m_group.empty())
        return "Scegliere il gruppo di hotel del server.";
    return checkGroupName(m_group);
}

std::string DataOrigin::description() const
{
    if (!m_server)
        return "cartella dei dati";
    return "gruppo \"" + m_group + "\" sul server " + storeAddress(m_conninfo).server;
}

std::shared_ptr<const BookingSource> DataOrigin::source() const
{
    if (!m_server || problem())
        return nullptr;
    return std::make_shared<StoreSource>(storeAddress(m_conninfo), m_group);
}

} // namespace presenze
