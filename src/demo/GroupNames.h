#pragma once
// Names and texts for generated hotel groups: hotel names, companies and
// agencies, towns, private guests, booking comments and room-line notes.
// Every text is Windows-1252, in capitals where the booking software keeps
// capitals. The same random source gives the same names.

#include "demo/SeededRandom.h"

#include <string>
#include <vector>

namespace presenze::names {

// `count` distinct hotel names of 15 to 30 characters, all starting with
// "HOTEL " so that the report label (characters 7 to 14) reads well. The
// first twelve are always the same.
std::vector<std::string> hotels(int count, SeededRandom& random);

// `count` distinct company names. The first ones are a fixed set that
// carries apostrophes, accented letters and a name longer than 32
// characters (L'ANCORA VIAGGI, SOCIETA' ALBA with its accent, ...); the rest
// are made up from surnames, words and business kinds.
std::vector<std::string> companies(int count, SeededRandom& random);

// How many fixed names companies() starts with.
int fixedCompanyCount();

// A town for a company (some with accented letters, a few empty).
std::string town(SeededRandom& random);

// A private guest, "SURNAME NAME".
std::string guest(SeededRandom& random);

// Category of a booking, as its comment tags it.
enum class Category { Group, Individual, TourOperator, Special, Untagged };

// A booking comment of that category ("<GRP> Gita scolastica", "Rif. <AS>
// tel.", a free text or nothing for Untagged).
std::string comment(Category category, SeededRandom& random);

// A room-line note for a booking of that category (a tag, a free text or
// nothing).
std::string note(Category category, SeededRandom& random);

} // namespace presenze::names
