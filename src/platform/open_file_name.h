#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace platform {

// OPENFILENAME flag bits, by their published values.
inline constexpr std::int32_t kOfnReadOnly = 0x1;            // OFN_READONLY
inline constexpr std::int32_t kOfnOverwritePrompt = 0x2;     // OFN_OVERWRITEPROMPT
inline constexpr std::int32_t kOfnHideReadOnly = 0x4;        // OFN_HIDEREADONLY
inline constexpr std::int32_t kOfnAllowMultiSelect = 0x200;  // OFN_ALLOWMULTISELECT
inline constexpr std::int32_t kOfnPathMustExist = 0x800;     // OFN_PATHMUSTEXIST
inline constexpr std::int32_t kOfnFileMustExist = 0x1000;    // OFN_FILEMUSTEXIST
inline constexpr std::int32_t kOfnExplorer = 0x80000;        // OFN_EXPLORER

inline constexpr std::int32_t kOpenFileNameSize = 76;  // lStructSize of the ANSI record

// The record the open and save dialogs take and fill, with the fields the program uses.
// Text buffers are QStrings that may hold NUL characters; a buffer is exactly its
// nMax* characters long, the text followed by NUL filler. An empty optional stands for
// a null pointer ("none"). The owner is borrowed, never owned.
struct OpenFileName {
  std::int32_t lStructSize = 0;
  QWidget* hwndOwner = nullptr;
  std::optional<QString> lpstrFilter;  // description NUL pattern NUL ... NUL NUL
  std::int32_t nFilterIndex = 0;       // 1-based
  QString lpstrFile;
  std::int32_t nMaxFile = 0;
  QString lpstrFileTitle;
  std::int32_t nMaxFileTitle = 0;
  std::optional<QString> lpstrInitialDir;
  std::optional<QString> lpstrTitle;
  std::int32_t Flags = 0;
  std::optional<QString> lpstrDefExt;
};

}  // namespace platform
