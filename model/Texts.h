#pragma once
// Message and button-label texts in both languages, and the product titles.
#include <array>
#include <string>

namespace dt {

enum Language { LANG_CHINESE = 0, LANG_ENGLISH = 1 };

enum MsgId {
    MSG_ALREADY_RUNNING = 0,
    MSG_PORT_OPEN_FAILED,
    MSG_TIMEOUT,
    MSG_UPLOAD_OK,
    MSG_DOWNLOAD_OK,
    MSG_STORE_OK,
    MSG_STORE_FAILED,
    MSG_RESTORE_OK,
    MSG_PACKET_LENGTH_ERROR,
    MSG_FILE_FILTER,
    MSG_EXPORT_TITLE,
    MSG_EXPORT_OPEN_FAILED,
    MSG_EXPORT_OK,
    MSG_IMPORT_TITLE,
    MSG_IMPORT_OPEN_FAILED,
    MSG_IMPORT_LENGTH_ERROR,
    MSG_IMPORT_OK,
    MSG_ITEM,
    MSG_VALUE,
    MSG_INPUT_INVALID,
    MSG_VERSION_MISMATCH,
    MSG_NO_PORT,
    MSG_DOWNLOAD_FAILED,
    MSG_RESTORE_FAILED,
    MSG_IMPORT_MISMATCH,
    MSG_NOT_CONNECTED,
    MSG_USED_COUNT  // 26; slots up to 31 exist and stay empty
};

enum LblId {
    LBL_CONNECT = 0,
    LBL_UPLOAD,
    LBL_DOWNLOAD,
    LBL_STORE,
    LBL_DEFAULT,
    LBL_IMPORT,
    LBL_EXPORT,
    LBL_SWITCH_LANGUAGE,
    LBL_OK,
    LBL_CANCEL,
    LBL_COUNT
};

// What a message is about; each front end shows a kind its own way.
enum class MessageKind { Info, Warning, Error, Question };

constexpr int kMessageSlots = 32;

// Both language slots of every shell text. Slot 0 (Chinese) may be overlaid by text.ini.
struct TextTables {
    std::array<std::string, 2> productTitle;
    std::array<std::array<std::string, kMessageSlots>, 2> messages;
    std::array<std::array<std::string, LBL_COUNT>, 2> labels;

    TextTables();  // built-in texts
};

// The .ged filter is the same text in both languages.
extern const char* const kGedFileFilter;
// The window title, fixed in both languages.
extern const char* const kWindowTitle;
// Caption of every message box.
extern const char* const kMessageCaption;

}  // namespace dt
