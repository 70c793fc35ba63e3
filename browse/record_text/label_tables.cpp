// The field labels of every database, by database code, and the footnote
// that closes the roll of honor's full text.
//
// Slot k labels field k of a record: an empty slot hides the field, a slot
// beginning with ',' joins the field to the current line, any other text is
// a heading on a line of its own, and "\xFF" marks the end of the slots the
// roll's records use.

#include "browse/record_text/record_format.h"

namespace record_format {

const char kFootnote[] =
    "\r\n\r\n\r\n  Volume and Page numbers refer to entries in\r\n"
    "the Civil War Quartermaster General's Office -\r\n"
    "Names of Soldiers Who Died";
static_assert(sizeof kFootnote == 128, "the footnote is 127 characters");

namespace {

constexpr int kCodeCount = 15;

const LabelTable kTables[kCodeCount] = {
    // 0 "numa": never selected.
    {},
    // 1 "congen"
    {"Born: ", "Died: ", "Prewar profession: ", "War service: ", "Postwar career: "},
    // 2 "civmoh"
    {"Rank and Organization: ", "Place and Date: ", "Entered service at: ", "",
     "Accredited to: ", "G.O. Number: ", "Birth: ", "", "Date of Issue: ", "Citation: "},
    // 3 "titan": read only for its survival line.
    {"_Survived: "},
    // 4 "unigen"
    {"Born: ", "Died: ", "Prewar profession: ", "War service: ", "Postwar career: "},
    // 5 "vnmmoh"
    {"Rank and Organization: ", "Place and Date: ", "Entered service at: ", "",
     "Accredited to: ", "G.O. Number: ", "Birth: ", "Born: ", "", "Citation: "},
    // 6 "ww1moh"
    {"Rank and Organization: ", "Place and Date: ", "Entered service at: ", "",
     "Accredited to: ", "G.O. Number: ", "Birth: ", "Born: ", "", "Citation: "},
    // 7 "ww2moh"
    {"Rank and Organization: ", "Place and Date: ", "Entered service at: ", "",
     "Accredited to: ", "G.O. Number: ", "Birth: ", "Born: ", "", "Citation: "},
    // 8 "w1812"
    {"Middle Initial: ", "Company: ", "Unit: ", "Initial Rank: ", "Final Rank: ", "Other Information: "},
    // 9 "honorol": thirteen joined references, then the end mark.
    {"Middle Initial: ", "References: ", ",", ",", ",", ",", ",", ",", ",", ",", ",", ",", ",", ",", ",",
     "\xFF"},
    // 10 "ww2_pow"
    {"Middle Initial: ", "Serial Number: ", "Race: ", "State: ", "Service: ", "Corps: ", "Rank: ",
     "Capture: ", "Source Type: ", "Capture Area: ", "Camp Name: ", "City served by Camp: ", "Camp Reg: ",
     "Camp Country: ", "Detail: ", "POW Status: ", "Closed: "},
    // 11 "ww2_kor"
    {"Middle Initial: ", "Inducted From: ", "Rank: ", "Combat Org: ", "Date of Death: ", "Monument: ",
     "Status: ", "US Awards: ", "Foreign Awards: "},
    // 12 "v_mem"
    {"Middle Name: ", ",", ",", "Organization: ", "City: ", "State: "},
    // 13 "pcc"
    {"Place: ", "Date: ", ","},
    // 14 "rev"
    {"Middle Initial: ", "Company: ", "Unit: ", "Starting Rank: ", "Ending Rank: ", "Misc: ",
     "Microfilm Reference", ",", ","},
};

}  // namespace

const LabelTable* LabelTableOf(int code) {
    if (code < 0 || code >= kCodeCount) return nullptr;
    return &kTables[code];
}

}  // namespace record_format
