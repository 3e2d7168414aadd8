#pragma once
// Texts of the features this tool adds to the specified window and command line, in both
// languages. The specified message and label tables stay untouched; text.ini does not reach these.
#include "Texts.h"

namespace dt {

// Each feature area keeps its own block; add new ids at the end of the block they belong to.
enum XtxId {
    // Backups and data safety
    XTX_DEFAULT_WITHOUT_BACKUP,
    XTX_BACKUP_FAILED,
    XTX_VERIFY_DIFFERS,
    XTX_VERIFY_SAME,
    XTX_RESTORE_UNREAD,
    XTX_RESTORE_UNBACKED,
    // end of backups and data safety

    // Status line, changed values, find
    XTX_STATUS_PORT_OPEN,
    XTX_STATUS_PORT_CLOSED,
    XTX_STATUS_NO_PORT,
    XTX_STATUS_STANDARD,
    XTX_STATUS_FOC,
    XTX_STATUS_VARIANT,
    XTX_STATUS_CUSTOMER,
    XTX_STATUS_VERSION,
    XTX_STATUS_ONE_CHANGED,
    XTX_STATUS_CHANGED,
    XTX_CLOSE_ONE_CHANGED,
    XTX_CLOSE_CHANGED,
    XTX_CONTROLLER_VALUE,
    XTX_FIND_PLACEHOLDER,
    XTX_FIND_TIP,
    // end of status line, changed values, find

    // Ports and their failures
    XTX_PORT_MISSING,
    XTX_PORT_NO_PERMISSION,
    XTX_PORT_BUSY,
    XTX_PORT_OTHER,
    XTX_PORT_MISSING_WINDOWS,
    XTX_PORT_BUSY_WINDOWS,
    // end of ports and their failures

    // Support log and packaging
    // end of support log and packaging

    // Editing: undo, revert, the allowed range
    XTX_MENU_UNDO,
    XTX_REVERT_ROW,
    XTX_REVERT_ALL,
    XTX_UPLOAD_ONE_CHANGED,
    XTX_UPLOAD_CHANGED,
    XTX_ALLOWED_RANGE,
    XTX_CHANGES_TITLE,
    XTX_CHANGES_PARAMETER,
    XTX_CHANGES_CONTROLLER,
    XTX_CHANGES_NEW,
    XTX_CHANGES_REVERT,
    XTX_CHANGES_GO_TO,
    XTX_CHANGES_CLOSE,
    XTX_CHANGES_NONE,
    XTX_CHANGES_TIP,
    XTX_MENU_UNDO_STEP,
    XTX_MENU_REDO,
    XTX_MENU_REDO_STEP,
    XTX_STEP_CHANGE,
    XTX_STEP_VALUES,
    XTX_STEP_EMPTY,
    XTX_STEP_REVERT_ALL,
    XTX_STEP_IMPORT,
    // end of editing

    // Command line: progress and interruption
    XTX_PROGRESS_READ,
    XTX_PROGRESS_WRITE,
    XTX_STOPPED_WRITING,
    XTX_STOPPED,
    XTX_STOP_AFTER_STORED,
    XTX_STOP_AFTER_REFUSED,
    XTX_STOP_STORE_UNANSWERED,
    XTX_STOPPED_AFTER_STORE,
    XTX_READING_INPUT,
    // end of command line: progress and interruption

    // Editing aids: variants, ranges while typing, backups in the window
    XTX_VARIANT_MISMATCH,
    XTX_DEFAULT_BACKUP,
    XTX_CHECK_IMPOSSIBLE,
    XTX_BACKUPS_TITLE,
    XTX_BACKUPS_TIME,
    XTX_BACKUPS_REASON,
    XTX_BACKUPS_READ,
    XTX_BACKUPS_WRITTEN,
    XTX_BACKUPS_CONTROLLER,
    XTX_BACKUPS_CUSTOMER,
    XTX_BACKUPS_LOAD,
    XTX_BACKUPS_COMPARE,
    XTX_BACKUPS_DOWNLOAD,
    XTX_BACKUPS_NONE,
    XTX_BACKUPS_BUTTON,
    XTX_BACKUPS_TIP,
    XTX_COMPARE_TITLE,
    XTX_COMPARE_GRID,
    XTX_COMPARE_BACKUP,
    XTX_COMPARE_SAME,
    // end of editing aids

    // Production: programming many units with one recipe
    XTX_PROGRAM_PASS,
    XTX_PROGRAM_FAIL,
    XTX_PROGRAM_SUMMARY,
    XTX_PROGRAM_COUNTS,
    XTX_PROGRAM_WRONG_KIND,
    XTX_PROGRAM_WRONG_MODEL,
    XTX_PROGRAM_NOT_VALID,
    XTX_PROGRAM_OUT_OF_RANGE,
    XTX_PROGRAM_STORE_REFUSED,
    XTX_PROGRAM_READ_BACK_DIFFERS,
    XTX_PROGRAM_NO_ANSWER,
    XTX_PROGRAM_PORT_GONE,
    XTX_PROGRAM_PORT_CLOSED,
    XTX_PROGRAM_STOPPED_READING,
    XTX_PROGRAM_RECIPE_HASH,
    XTX_PROGRAM_RECIPE_NOT_VALID,
    XTX_PROGRAM_WAITING,
    XTX_PROGRAM_READING,
    XTX_PROGRAM_VERIFYING,
    XTX_PROGRAM_REMOVE,
    XTX_PROGRAM_JOURNAL_FAILED,
    // end of production

    XTX_COUNT
};

// The text of `id` in `language`.
const char* ExtraText(Language language, XtxId id);

// `text` with each "%1" replaced by `value` (for counts and names inside a sentence).
std::string FillIn(const std::string& text, const std::string& value);
// The same with "%2" replaced by `second`.
std::string FillIn(const std::string& text, const std::string& value, const std::string& second);

}  // namespace dt
