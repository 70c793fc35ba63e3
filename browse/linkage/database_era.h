#pragma once
// When the people of each database of the catalogue lived through what their
// records tell, so that two records can be tried for one lifetime even where
// neither gives a date: a general of the Civil War served between 1861 and
// 1865, the dead of the Vietnam Memorial died between 1956 and 1975, a will
// of the 1873 calendar was proved after its maker died.

namespace linkage {

enum class Side { None, Union, Confederate };

struct DatabaseEra {
    const char* name = nullptr;  // "the Civil War"; null for a database of no war
    // The years of what the record tells (service, a voyage, a probate); 0 when unknown.
    int from = 0;
    int to = 0;
    // The person was alive then, aged within these years (service, a voyage).
    bool alive = false;
    int minAge = 0;
    int maxAge = 0;
    // The person had died by the end of those years (the dead of a war, a will
    // proved), or died within them (diedWithin).
    bool deadBy = false;
    bool diedWithin = false;
    Side side = Side::None;
};

// The era of database code 1..14; an empty era for any other code.
const DatabaseEra& EraOf(int code);

}  // namespace linkage
