#include "data/SystemErrors.h"

#include <cerrno>
#include <sqlite3.h>

namespace presenze {

std::string systemErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return "file o cartella inesistente";
    case EACCES:
    case EPERM:
        return "permesso negato";
    case EISDIR:
        return "\xE8 una cartella";
    case ENOTDIR:
        return "un elemento del percorso non \xE8 una cartella";
    case ENOSPC:
        return "spazio esaurito sul disco";
    case EDQUOT:
        return "quota del disco superata";
    case EROFS:
        return "disco in sola lettura";
    case EEXIST:
        return "il file esiste gi\xE0";
    case EBUSY:
    case ETXTBSY:
        return "file o dispositivo in uso";
    case ENXIO:
        return "dispositivo non collegato, o nessun programma lo legge";
    case ENODEV:
        return "dispositivo inesistente";
    case EIO:
        return "errore di lettura o scrittura del dispositivo";
    case EFBIG:
        return "file troppo grande";
    case EMFILE:
    case ENFILE:
        return "troppi file aperti";
    case ENAMETOOLONG:
        return "nome troppo lungo";
    case ELOOP:
        return "troppi collegamenti simbolici nel percorso";
    case EPIPE:
        return "nessun programma legge pi\xF9 dal dispositivo";
    case EAGAIN:
        return "il dispositivo non accetta dati";
    case ENOMEM:
        return "memoria esaurita";
    case ETIMEDOUT:
        return "tempo scaduto";
    case ECONNREFUSED:
        return "connessione rifiutata";
    case EINVAL:
        return "operazione non valida per questo file";
    case ENOEXEC:
        return "il programma non \xE8 eseguibile";
    case EXDEV:
        return "il file si trova su un altro disco";
    case EBADF:
        return "file non aperto";
    case EINTR:
        return "operazione interrotta";
    default:
        return "errore di sistema " + std::to_string(error);
    }
}

std::string systemErrorText(const std::error_code& ec)
{
    if (ec.category() == std::generic_category() || ec.category() == std::system_category())
        return systemErrorText(ec.value());
    return "errore " + std::to_string(ec.value());
}

std::string sqliteErrorText(int resultCode)
{
    switch (resultCode & 0xFF) {
    case SQLITE_OK:
        return "nessun errore";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "accesso negato";
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT:
        return "operazione interrotta";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "file in uso da un altro programma";
    case SQLITE_NOMEM:
        return "memoria esaurita";
    case SQLITE_READONLY:
        return "il database non si pu\xF2 modificare (sola lettura)";
    case SQLITE_IOERR:
        return "errore di lettura o scrittura del file";
    case SQLITE_CORRUPT:
        return "il file \xE8 danneggiato";
    case SQLITE_FULL:
        return "spazio esaurito sul disco";
    case SQLITE_CANTOPEN:
        return "impossibile aprire il file";
    case SQLITE_PROTOCOL:
        return "blocco del file non riuscito";
    case SQLITE_SCHEMA:
        return "la struttura del database \xE8 cambiata";
    case SQLITE_TOOBIG:
        return "dato troppo grande";
    case SQLITE_CONSTRAINT:
        return "vincolo del database violato";
    case SQLITE_MISMATCH:
        return "tipo di dato non corrispondente";
    case SQLITE_NOLFS:
        return "file troppo grande per questo sistema";
    case SQLITE_RANGE:
        return "parametro fuori intervallo";
    case SQLITE_NOTADB:
        return "il file non \xE8 un database";
    default:
        return "errore del database " + std::to_string(resultCode);
    }
}

} // namespace presenze
