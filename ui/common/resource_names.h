#pragma once
// Names of the program's Qt resources (compiled in from res/) and of the
// help file that lives in the installation directory.

namespace resources {

inline constexpr const char kBackdrop[] = ":/IDB_BACKDROP";
inline constexpr const char kPrevUp[] = ":/IDB_PREV_UP";
inline constexpr const char kPrevDown[] = ":/IDB_PREV_DOWN";
inline constexpr const char kPrevFocus[] = ":/IDB_PREV_FOCUS";
inline constexpr const char kPrevDim[] = ":/IDB_PREV_DIM";
inline constexpr const char kNextUp[] = ":/IDB_NEXT_UP";
inline constexpr const char kNextDown[] = ":/IDB_NEXT_DOWN";
inline constexpr const char kNextFocus[] = ":/IDB_NEXT_FOCUS";
inline constexpr const char kNextDim[] = ":/IDB_NEXT_DIM";
// The program icon, resource 2.
inline constexpr const char kProgramIcon[] = ":/icon/2";

// The document is opened under the backdrop's resource name; the name is not used otherwise.
inline constexpr const char kDocumentName[] = "IDB_BACKDROP";

inline constexpr const char kHelpFileName[] = "tavora7m.hlp";
inline constexpr int kHelpContext = 19;
// The topic of the Find in Records dialog (its F1).
inline constexpr int kFindRecordsHelpContext = 29;

}  // namespace resources

// Registers the compiled-in resources; the viewer's library is static, so
// its resources must be pulled in explicitly.
void InitChronaraResources();
// Unregisters them (a start without a backdrop, as the tests provoke).
void CleanupChronaraResources();
