#pragma once

// The main window's controls by their designer names: style sheets (the skin) and tests find
// them by these, so they are kept exactly.
namespace qlq::main_window_names {

inline constexpr char kWindow[] = "Form1";
inline constexpr char kBanner[] = "Picture1";
inline constexpr char kOwnTail[] = "Text5";
inline constexpr char kEditList[] = "Command15";
inline constexpr char kRandomOrder[] = "Check4";
inline constexpr char kSendAfterInsert[] = "Check1";
inline constexpr char kAppendOwnTail[] = "Check2";
inline constexpr char kTailList[] = "List1";
inline constexpr char kGallery[] = "Command2";
inline constexpr char kHelp[] = "Command4";
inline constexpr char kHomePage[] = "Command1";
inline constexpr char kBackground[] = "Command3";

// Outside the client area.
inline constexpr char kComposedText[] = "Text4";
inline constexpr char kShowRandomSwitch[] = "Command11";
inline constexpr char kDrawNumber[] = "Command14";
inline constexpr char kUnusedButton12[] = "Command12";
inline constexpr char kUnusedButton13[] = "Command13";
inline constexpr char kUnusedSendBox[] = "Check3";
inline constexpr char kUnusedLabel4[] = "Label4";
inline constexpr char kUnusedLabel5[] = "Label5";
inline constexpr char kUnusedTimer[] = "Timer1";

// The three quick slots: heading, text, lock button, paste button.
struct QuickSlotNames {
    const char* heading;
    const char* text;
    const char* lock;
    const char* paste;
};
inline constexpr QuickSlotNames kQuickSlots[3] = {
    {"Label1", "Text1", "Command5", "Command8"},
    {"Label2", "Text2", "Command6", "Command9"},
    {"Label3", "Text3", "Command7", "Command10"},
};

} // namespace qlq::main_window_names
