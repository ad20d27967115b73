#pragma once

// The editor's controls by their designer names: style sheets (the skin) and tests find them by
// these, so they are kept exactly.
namespace qlq::tail_editor_names {

inline constexpr char kWindow[] = "Form5";
inline constexpr char kText[] = "Text5";
inline constexpr char kSave[] = "Command16";
inline constexpr char kCancel[] = "Command1";

} // namespace qlq::tail_editor_names
