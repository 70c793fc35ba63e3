#pragma once
// A data disk of records made to be linked: two databases (war graves, code
// 11, and prisoners of war, code 10) that share a known part of their people,
// each shared person written again in the second with the changes clerks
// make (a given-name variant or an initial, a surname a letter off, a middle
// initial or a state left out), mixed with people who only look alike (the
// same surname and first name, another man). Every record carries the
// person's number in a field the linkage does not read (the graves'
// "Monument", the prisoners' "Serial Number": "ID 1234"), so that the true
// pairs are known. The same size and seed always give the same disk.

#include <cstdint>
#include <string>

namespace bench {

struct LinkedDiskStats {
    long shared = 0;      // people in both databases: the true pairs
    long lookalikes = 0;  // prisoners who share a grave's surname and first name but are not him
};

// Writes chronaradb.id, ww2_kor.* and ww2_pow.* into dir, people records in
// each, sharedShare of them the same people. False with error set on a fault.
bool MakeLinkedDisk(const std::string& dir, long people, double sharedShare, std::uint64_t seed,
                    LinkedDiskStats& stats, std::string& error);

// The person's number in a record's field ("ID 1234"), or -1.
long PersonNumber(const std::string& field);

}  // namespace bench
