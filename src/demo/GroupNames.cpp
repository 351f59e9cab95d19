#include "demo/GroupNames.h"

#include <set>

namespace presenze::names {
namespace {

// Windows-1252 escapes are split from a following letter that could be read
// as a hex digit.

const char* const kFixedHotels[] = {
    "HOTEL MIRAMARE PALACE", "HOTEL SAVOY CENTRO",    "HOTEL CORALLO BEACH",
    "HOTEL AURORA DEL LAGO", "HOTEL BELVEDERE TERME", "HOTEL STELLA ALPINA",
    "HOTEL PORTO AZZURRO",   "HOTEL VILLA DEI PINI",  "HOTEL CITT\xC0 DI PARMA",
    "HOTEL CONTINENTALE",    "HOTEL BRISTOL MARINA",  "HOTEL LE GINESTRE RESORT",
};

const char* const kHotelWords[] = {
    "ADRIATICO", "AMBASSADOR", "ARISTON",  "BAIA VERDE", "BELLAVISTA",   "CAVALIERI",
    "DIPLOMAT",  "EXCELSIOR",  "FLORIDA",  "GARDEN",     "IMPERIALE",    "LUNA ROSSA",
    "MAJESTIC",  "METROPOLE",  "NETTUNO",  "ORCHIDEA",   "PANORAMA",     "PARADISO",
    "REGINA",    "RIVIERA",    "ROYAL",    "SOLE MARE",  "TIRRENO",      "TRITONE",
    "VENEZIA",   "VESUVIO",    "VITTORIA", "ASTORIA",    "MEDITERRANEO", "SPLENDID",
};

const char* const kHotelSuffixes[] = {"PALACE", "RESORT", "& SPA",  "CENTRO", "MARE",
                                      "LAGO",   "TERME",  "SUITES", "PARK",   "CITY"};

const char* const kFixedCompanies[] = {
    "L'ANCORA VIAGGI",
    "SOCIET\xC0 ALBA",
    "D'AMICO TOURS",
    "DELL'ORTO CONGRESSI",
    "CITT\xC0 DEL SOLE TRAVEL",
    "\xC9LITE VOYAGES",
    "SANT'ANTONIO PELLEGRINAGGI",
    "FORL\xCC SPORT CLUB",
    "M\xDCLLER REISEN GMBH",
    "CAFF\xC8 DEL TEATRO EVENTI",
    "ASSOCIAZIONE CULTURALE AMICI DELLA MONTAGNA",
    "UNIVERSIT\xC0 DELLA TERZA ET\xC0",
    "L'ISOLA VIAGGI",
    "ALL'APERTO TREKKING",
    "CRAL DIPENDENTI COMUNALI",
    "GRUPPO SPORTIVO VIRTUS",
    "PARROCCHIA SAN MARCO",
    "ISTITUTO COMPRENSIVO G. VERDI",
    "PRO LOCO SAN VITO",
    "NORDIC TOUR OPERATOR",
    "SUNWAY HOLIDAYS LTD",
    "GIRASOLE VIAGGI",
    "MEDITERRANEA SRL",
    "DELTA EVENTI",
};

const char* const kSurnames[] = {
    "ROSSI",     "BIANCHI", "FERRARI",   "RUSSO",      "ESPOSITO",   "ROMANO",    "COLOMBO",
    "RICCI",     "MARINO",  "GRECO",     "BRUNO",      "GALLO",      "CONTI",     "DE LUCA",
    "MANCINI",   "COSTA",   "GIORDANO",  "RIZZO",      "LOMBARDI",   "MORETTI",   "BARBIERI",
    "FONTANA",   "SANTORO", "MARIANI",   "RINALDI",    "CARUSO",     "FERRARA",   "GALLI",
    "MARTINI",   "LEONE",   "LONGO",     "GENTILE",    "MARTINELLI", "VITALE",    "LOMBARDO",
    "SERRA",     "COPPOLA", "DE SANTIS", "D'ANGELO",   "MARCHETTI",  "PARISI",    "VILLA",
    "CONTE",     "FERRO",   "FABBRI",    "BIANCO",     "MARINI",     "GRASSO",    "VALENTINI",
    "MESSINA",   "SALA",    "DE ROSA",   "GATTI",      "PELLEGRINI", "PALUMBO",   "SANNA",
    "FARINA",    "RIZZI",   "MONTI",     "CATTANEO",   "MORELLI",    "AMATO",     "SILVESTRI",
    "MAZZA",     "TESTA",   "GRIECO",    "CARBONE",    "GIULIANI",   "BENEDETTI", "BARONE",
    "ROSSETTI",  "CAPUTO",  "MONTANARI", "GUERRA",     "PALMIERI",   "BERNARDI",  "MARTINO",
    "FIORE",     "FERRI",   "BELLINI",   "BASILE",     "RIVA",       "DONATI",    "PIRAS",
    "BATTAGLIA", "SARTORI", "NERI",      "MILANI",     "PAGANO",     "RUGGIERO",  "SORRENTINO",
    "ORLANDO",   "NEGRI",   "D'ALESSIO", "DELL'ACQUA", "NICOL\xD2",  "SCHMIDT",   "M\xDCLLER",
};

const char* const kBusinessKinds[] = {
    "VIAGGI",      "TOURS",      "TRAVEL",        "SRL",         "SPA",
    "SNC",         "& C. SAS",   "CONGRESSI",     "EVENTI",      "BUS",
    "AUTOSERVIZI", "VACANZE",    "SERVICE",       "TRASPORTI",   "IMPIANTI",
    "COSTRUZIONI", "CONSULTING", "ASSICURAZIONI", "INFORMATICA", "& FIGLI",
};

const char* const kAgencyWords[] = {
    "GIRASOLE",  "MEDITERRANEA", "ARCOBALENO", "ORIZZONTI", "AQUILONE", "BUSSOLA",
    "CARAVELLA", "DELFINO",      "GABBIANO",   "MONDO",     "PIANETA",  "SOLE",
    "STELLA",    "VELA",         "ZEFIRO",     "EUROPA",    "ITALIA",   "NORDEST",
    "ALPINA",    "ADRIATICA",    "TIRRENICA",  "LEVANTE",   "PONENTE",  "OASI",
    "PRIMAVERA", "ESTATE",       "AURORA",     "OLIMPIA",   "FENICE",   "MAESTRALE",
};

const char* const kAgencyKinds[] = {"VIAGGI",   "TOURS",   "TRAVEL",    "VACANZE",
                                    "HOLIDAYS", "EVENTI",  "CONGRESSI", "TURISMO",
                                    "SRL",      "NETWORK", "EXPRESS",   "INCOMING"};

const char* const kAgencyPrefixes[] = {"AGENZIA", "VIAGGI", "GRUPPO", "CRAL", "CIRCOLO"};

const char* const kTowns[] = {
    "MILANO",     "ROMA",      "TORINO", "BOLOGNA", "FIRENZE", "NAPOLI",   "VERONA",    "PADOVA",
    "BRESCIA",    "BERGAMO",   "GENOVA", "PARMA",   "MODENA",  "RIMINI",   "FORL\xCC",  "CANT\xD9",
    "PATERN\xD2", "VICENZA",   "TRENTO", "BOLZANO", "UDINE",   "TREVISO",  "PERUGIA",   "ANCONA",
    "PESCARA",    "BARI",      "LECCE",  "PALERMO", "CATANIA", "CAGLIARI", "SASSARI",   "COMO",
    "LECCO",      "MONZA",     "PAVIA",  "MANTOVA", "CREMONA", "PIACENZA", "RAVENNA",   "CESENA",
    "M\xDCNCHEN", "Z\xDCRICH", "WIEN",   "LYON",    "LONDON",  "PARIS",    "INNSBRUCK",
};

const char* const kFirstNames[] = {
    "MARIO",     "GIUSEPPE", "ANNA",    "LAURA", "FRANCESCO", "GIULIA", "LUCA",
    "CHIARA",    "ANDREA",   "SARA",    "MARCO", "ELENA",     "PAOLO",  "FRANCESCA",
    "NICOL\xD2", "ALESSIA",  "STEFANO", "MARTA", "HANS",      "MARIE",  "JOHN",
};

const char* const kGroupComments[] = {"<GRP>", "<GRP> Gita scolastica", "Gruppo <GRP> pullman",
                                      "<GRP> Congresso medico", "<GRP> Matrimonio"};
const char* const kIndividualComments[] = {"<IND>", "<IND> Cliente abituale",
                                           "Prenotazione web <IND>"};
const char* const kTourOperatorComments[] = {"<TO>", "<TO> Allotment", "Voucher <TO>"};
const char* const kSpecialComments[] = {"<AS>", "Rif. <AS> tel.", "<AS> Convenzione aziendale"};
const char* const kFreeComments[] = {"",
                                     "",
                                     "",
                                     "Conferma via e-mail",
                                     "Arrivo in tarda serata",
                                     "Richiesta camera silenziosa",
                                     "Pagamento diretto",
                                     "Caparra gi\xE0 versata"};
const char* const kFreeNotes[] = {"",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "Vista mare",
                                  "Culla",
                                  "Letto aggiunto",
                                  "Doppia uso singola",
                                  "Mezza pensione",
                                  "Pensione completa"};

} // namespace

std::vector<std::string> hotels(int count, SeededRandom& random)
{
    std::vector<std::string> result;
    std::set<std::string> seen;
    for (const char* name : kFixedHotels) {
        if (static_cast<int>(result.size()) == count)
            return result;
        result.emplace_back(name);
        seen.insert(name);
    }
    // Word x suffix gives 300 names; beyond that a number keeps them apart.
    int serial = 2;
    while (static_cast<int>(result.size()) < count) {
        std::string name =
            std::string("HOTEL ") + random.pick(kHotelWords) + " " + random.pick(kHotelSuffixes);
        if (seen.count(name))
            name =
                std::string("HOTEL ") + random.pick(kHotelWords) + " " + std::to_string(serial++);
        if (name.size() < 15 || name.size() > 30 || !seen.insert(name).second)
            continue;
        result.push_back(std::move(name));
    }
    return result;
}

int fixedCompanyCount()
{
    return static_cast<int>(std::size(kFixedCompanies));
}

std::vector<std::string> companies(int count, SeededRandom& random)
{
    std::vector<std::string> result;
    std::set<std::string> seen;
    for (const char* name : kFixedCompanies) {
        if (static_cast<int>(result.size()) == count)
            return result;
        result.emplace_back(name);
        seen.insert(name);
    }
    int serial = 2;
    int misses = 0;
    while (static_cast<int>(result.size()) < count) {
        std::string name;
        switch (random.below(4)) {
        case 0:
        case 1:
            name = std::string(random.pick(kSurnames)) + " " + random.pick(kBusinessKinds);
            break;
        case 2:
            name = std::string(random.pick(kAgencyWords)) + " " + random.pick(kAgencyKinds);
            break;
        default:
            name = std::string(random.pick(kAgencyPrefixes)) + " " + random.pick(kAgencyWords);
            break;
        }
        // Once the combinations run thin, a branch number keeps names apart.
        if (misses > 50)
            name += " " + std::to_string(serial++);
        if (!seen.insert(name).second) {
            ++misses;
            continue;
        }
        misses = 0;
        result.push_back(std::move(name));
    }
    return result;
}

std::string town(SeededRandom& random)
{
    if (random.chance(40))
        return {};
    return random.pick(kTowns);
}

std::string guest(SeededRandom& random)
{
    return std::string(random.pick(kSurnames)) + " " + random.pick(kFirstNames);
}

std::string comment(Category category, SeededRandom& random)
{
    switch (category) {
    case Category::Group:
        return random.pick(kGroupComments);
    case Category::Individual:
        return random.pick(kIndividualComments);
    case Category::TourOperator:
        return random.pick(kTourOperatorComments);
    case Category::Special:
        return random.pick(kSpecialComments);
    case Category::Untagged:
        break;
    }
    return random.pick(kFreeComments);
}

std::string note(Category category, SeededRandom& random)
{
    switch (category) {
    case Category::Group:
        if (random.chance(700))
            return random.chance(850) ? "<GRP>" : "<GRP> capogruppo";
        break;
    case Category::TourOperator:
        if (random.chance(600))
            return "<TO>";
        break;
    case Category::Special:
        if (random.chance(500))
            return "<AS>";
        break;
    case Category::Individual:
    case Category::Untagged:
        break;
    }
    return random.pick(kFreeNotes);
}

} // namespace presenze::names
