#pragma once

#include "shell/main_window_names.h"
#include "ui/controls.h"

// Every control of the main window as designed: places in twips, captions, the Tab order, what
// a screen reader says. The window is built from this table, and its tests check it against it.
namespace qlq::main_window_controls {

using enum ControlKind;
namespace names = main_window_names;
inline constexpr const main_window_names::QuickSlotNames (&slot)[3] = names::kQuickSlots;

// clang-format off
inline constexpr ControlDesign kControls[] = {
    // Inside the client area, top to bottom.
    {names::kBanner, Picture, {0, 0, 7575, 1335}, ":/images/banner.png", 3,
     "青岚雀贴吧小尾巴", "横幅图片"}, // 60 twips wider than the window
    {names::kOwnTail, LineEdit, {120, 1440, 5175, 375}, "[本消息由青岚雀贴吧小尾巴自动发送]", 23,
     "自己的尾巴", "勾选“带上自己的尾巴”时，附在每条小尾巴后面的一行"},
    {names::kEditList, Button, {5640, 1440, 1695, 735}, "编辑内容", 22,
     "编辑内容", "打开小尾巴列表的编辑窗口"},
    {names::kRandomOrder, CheckBox, {120, 1920, 1455, 255}, "随机插入尾巴", 19,
     "随机插入尾巴", "按 F8 时随机取一条小尾巴，不按列表顺序"},
    {names::kSendAfterInsert, CheckBox, {1800, 1920, 1815, 255}, "插入后直接回帖", 10,
     "插入后直接回帖", "粘贴小尾巴后按 Ctrl+Enter 发送回复"},
    {names::kAppendOwnTail, CheckBox, {3720, 1920, 1575, 255}, "带上自己的尾巴", 11,
     "带上自己的尾巴", "在小尾巴后面附上自己的尾巴"},
    {names::kTailList, List, {120, 2280, 7215, 5640}, nullptr, 20,
     "小尾巴列表", "按 F8 时插入的小尾巴；点击一行，按顺序插入时从这一行接着插入"},
    {names::kGallery, Button, {120, 8160, 1335, 495}, "签名大全", 1,
     "签名大全", "打开个性签名大全"},
    {names::kHelp, Button, {2120, 8160, 1335, 495}, "使用说明", 2,
     "使用说明", "打开介绍与帮助窗口"},
    {names::kHomePage, Button, {4120, 8160, 1335, 495}, "作者主页", 0,
     "作者主页", "在浏览器中打开作者主页"},
    {names::kBackground, Button, {6120, 8160, 1215, 495}, "后台运行", 13,
     "后台运行", "把窗口收到通知区域，F8 照常可用"},

    // Outside it: never seen, but those that take the focus are on the Tab path.
    {names::kComposedText, LineEdit, {8040, 2400, 5295, 1095}, "Text4", 21},
    {names::kUnusedLabel4, Label, {7800, 4320, 1095, 615}, "Label4"},
    {names::kUnusedLabel5, Label, {7800, 4920, 1335, 855}, "Label5"},
    {names::kShowRandomSwitch, Button, {8640, 600, 615, 375}, "Command11", 17},
    {names::kDrawNumber, Button, {10920, 720, 975, 735}, "Command14", 18},
    {.name = names::kUnusedButton12, .kind = Button, .twips = {10920, 8520, 615, 375},
     .caption = "Command12", .hidden = true},
    {.name = names::kUnusedButton13, .kind = Button, .twips = {11040, 10800, 735, 255},
     .caption = "Command13", .hidden = true},
    {names::kUnusedSendBox, CheckBox, {13920, 10800, 1935, 255}, "插入后直接回帖", 12},

    // The quick slots: heading, text, lock button (a row at the top), paste button.
    {slot[0].heading, Heading, {8880, 6360, 1470, 210}, "①号小尾巴：F8"},
    {slot[1].heading, Heading, {8880, 8640, 1470, 210}, "②号小尾巴：F9"},
    {slot[2].heading, Heading, {8880, 10800, 1575, 210}, "③号小尾巴：F10"},
    {slot[0].text, TextArea, {8880, 6720, 6735, 1695}, "22222222222\r\n", 6},
    {slot[1].text, TextArea, {8880, 9000, 6735, 1695}, nullptr, 7},
    {slot[2].text, TextArea, {8880, 11160, 6735, 1695}, nullptr, 8},
    {slot[0].lock, Button, {8280, 120, 1095, 255}, "开锁", 5},
    {slot[1].lock, Button, {9600, 240, 1095, 255}, "开锁", 9},
    {slot[2].lock, Button, {10560, 240, 1095, 255}, "开锁", 4},
    {slot[0].paste, Button, {12840, 6360, 855, 255}, "粘贴入内", 14},
    {slot[1].paste, Button, {12840, 8640, 855, 255}, "粘贴入内", 15},
    {slot[2].paste, Button, {12840, 10800, 855, 255}, "粘贴入内", 16},
};
// clang-format on

} // namespace qlq::main_window_controls
