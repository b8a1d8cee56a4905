#pragma once
// The fixed English texts of the board link and its transfer windows.

namespace vm::link::texts {

inline constexpr const char* kPortErrorTitle = "ERROR ";
inline constexpr const char* kPortErrorText = "   Attention error port!\r\rPlease select a new COM";
inline constexpr const char* kSerialTitle = "Serial";
inline constexpr const char* kBoardNotReady = "Board Not Ready\nCheck serial !";
inline constexpr const char* kBoardSilent =
    "The board stopped answering: no reply to the last five requests.\n"
    "Check the serial line. Values not read yet stay empty until it answers.";
inline constexpr const char* kErrorTitle = "ERROR";
inline constexpr const char* kBoardNotCompatible = "Board\nNot Compatible";
inline constexpr const char* kBoardTypeNotCompatible = "Board Type\nNot Compatible";
inline constexpr const char* kBoardSoftwareNotCompatible = "Board Software\nNot Compatible";
inline constexpr const char* kCommunicationError = " Communication Error ";
inline constexpr const char* kChecksumError = "Checksum Error";
inline constexpr const char* kUsbErrorTitle = "Error";
inline constexpr const char* kUsbNotAvailable = "USB port not available\rPlease select a different COM port";

// Transfer windows.
inline constexpr const char* kReadCaption = "Configuration ";
inline constexpr const char* kReadText = "Reading Configuration Machine....";
inline constexpr const char* kReadDone = "... DONE! ... ";
inline constexpr const char* kSaveCaption = "Save Configuration";
inline constexpr const char* kSaveText = "Save Configuration Machine....";
inline constexpr const char* kWriteCaption = "Write";
inline constexpr const char* kWriteText = "Write Configuration Machine....";

} // namespace vm::link::texts
