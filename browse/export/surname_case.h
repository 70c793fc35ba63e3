#pragma once
// The surname as a family tree writes it. The index holds surnames
// upper-cased, but a tree program shows "Smith", not "SMITH"; the record
// holds no other spelling, so the written case is made from the upper-cased
// one by the rules of English-language records:
//
// - every word capitalised, Windows-1252 accented letters included
//   ("MÜLLER" -> "Müller", "VAN BUREN" -> "Van Buren");
// - a hyphen starts a new capital ("SMITH-JONES" -> "Smith-Jones"), and so
//   does an apostrophe after a single letter ("O'BRIEN" -> "O'Brien",
//   "D'ARCY" -> "D'Arcy");
// - Mc takes a capital after it ("MCCOY" -> "McCoy"); Mac does not, since
//   "Mack", "Macey" and "Machado" cannot be told from "MacLeod" by their
//   letters ("MACLEOD" -> "Macleod");
// - particles after the first word stay small ("DE LA CRUZ" -> "De la
//   Cruz", "VAN DER MEER" -> "Van der Meer"); a first word is capitalised,
//   as American records write it.

#include <string>

// surname: Windows-1252 bytes; blanks around it are dropped and runs of
// blanks become one.
std::string SurnameInWrittenCase(const std::string& surname);
