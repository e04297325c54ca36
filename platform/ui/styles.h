// Window, dialog and control style bits, with the values the Windows headers give them, so that
// dialog templates and control code read as they would on that platform.
#pragma once

#include <cstdint>

namespace ui {

using Style = std::uint32_t;

// Window styles.
inline constexpr Style WS_OVERLAPPED = 0x00000000;
inline constexpr Style WS_POPUP = 0x80000000;
inline constexpr Style WS_CHILD = 0x40000000;
inline constexpr Style WS_MINIMIZE = 0x20000000;
inline constexpr Style WS_VISIBLE = 0x10000000;
inline constexpr Style WS_DISABLED = 0x08000000;
inline constexpr Style WS_CLIPSIBLINGS = 0x04000000;
inline constexpr Style WS_CLIPCHILDREN = 0x02000000;
inline constexpr Style WS_MAXIMIZE = 0x01000000;
inline constexpr Style WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
inline constexpr Style WS_BORDER = 0x00800000;
inline constexpr Style WS_DLGFRAME = 0x00400000;
inline constexpr Style WS_VSCROLL = 0x00200000;
inline constexpr Style WS_HSCROLL = 0x00100000;
inline constexpr Style WS_SYSMENU = 0x00080000;
inline constexpr Style WS_THICKFRAME = 0x00040000;
inline constexpr Style WS_GROUP = 0x00020000;
inline constexpr Style WS_TABSTOP = 0x00010000;
inline constexpr Style WS_MINIMIZEBOX = 0x00020000;
inline constexpr Style WS_MAXIMIZEBOX = 0x00010000;

// Extended window styles.
inline constexpr Style WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr Style WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr Style WS_EX_TOPMOST = 0x00000008;
inline constexpr Style WS_EX_TRANSPARENT = 0x00000020;
inline constexpr Style WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr Style WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr Style WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr Style WS_EX_STATICEDGE = 0x00020000;
inline constexpr Style WS_EX_APPWINDOW = 0x00040000;  // shown in the task bar

// Dialog styles.
inline constexpr Style DS_ABSALIGN = 0x0001;
inline constexpr Style DS_SYSMODAL = 0x0002;
inline constexpr Style DS_3DLOOK = 0x0004;
inline constexpr Style DS_FIXEDSYS = 0x0008;
inline constexpr Style DS_NOFAILCREATE = 0x0010;
inline constexpr Style DS_SETFONT = 0x0040;  // the template names a font
inline constexpr Style DS_MODALFRAME = 0x0080;
inline constexpr Style DS_SETFOREGROUND = 0x0200;
inline constexpr Style DS_CONTROL = 0x0400;
inline constexpr Style DS_CENTER = 0x0800;
inline constexpr Style DS_CENTERMOUSE = 0x1000;
inline constexpr Style DS_CONTEXTHELP = 0x2000;

// Button styles. The low four bits are the button's type.
inline constexpr Style BS_PUSHBUTTON = 0x0000;
inline constexpr Style BS_DEFPUSHBUTTON = 0x0001;
inline constexpr Style BS_CHECKBOX = 0x0002;
inline constexpr Style BS_AUTOCHECKBOX = 0x0003;
inline constexpr Style BS_RADIOBUTTON = 0x0004;
inline constexpr Style BS_3STATE = 0x0005;
inline constexpr Style BS_AUTO3STATE = 0x0006;
inline constexpr Style BS_GROUPBOX = 0x0007;
inline constexpr Style BS_AUTORADIOBUTTON = 0x0009;
inline constexpr Style BS_OWNERDRAW = 0x000B;
inline constexpr Style BS_TYPEMASK = 0x000F;
inline constexpr Style BS_LEFTTEXT = 0x0020;
inline constexpr Style BS_ICON = 0x0040;
inline constexpr Style BS_BITMAP = 0x0080;
inline constexpr Style BS_LEFT = 0x0100;
inline constexpr Style BS_RIGHT = 0x0200;
inline constexpr Style BS_CENTER = 0x0300;
inline constexpr Style BS_TOP = 0x0400;
inline constexpr Style BS_BOTTOM = 0x0800;
inline constexpr Style BS_VCENTER = 0x0C00;
inline constexpr Style BS_PUSHLIKE = 0x1000;
inline constexpr Style BS_MULTILINE = 0x2000;
inline constexpr Style BS_NOTIFY = 0x4000;
inline constexpr Style BS_FLAT = 0x8000;

// Static styles. The low five bits are the static's type.
inline constexpr Style SS_LEFT = 0x0000;
inline constexpr Style SS_CENTER = 0x0001;
inline constexpr Style SS_RIGHT = 0x0002;
inline constexpr Style SS_ICON = 0x0003;
inline constexpr Style SS_SIMPLE = 0x000B;
inline constexpr Style SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr Style SS_OWNERDRAW = 0x000D;
inline constexpr Style SS_BITMAP = 0x000E;
inline constexpr Style SS_TYPEMASK = 0x001F;
inline constexpr Style SS_NOPREFIX = 0x0080;
inline constexpr Style SS_NOTIFY = 0x0100;       // clicks reach the parent as commands
inline constexpr Style SS_CENTERIMAGE = 0x0200;  // one line of text, centred vertically
inline constexpr Style SS_SUNKEN = 0x1000;
inline constexpr Style SS_ENDELLIPSIS = 0x4000;
inline constexpr Style SS_PATHELLIPSIS = 0x8000;
inline constexpr Style SS_WORDELLIPSIS = 0xC000;
inline constexpr Style SS_ELLIPSISMASK = 0xC000;

// Edit styles.
inline constexpr Style ES_LEFT = 0x0000;
inline constexpr Style ES_CENTER = 0x0001;
inline constexpr Style ES_RIGHT = 0x0002;
inline constexpr Style ES_MULTILINE = 0x0004;
inline constexpr Style ES_UPPERCASE = 0x0008;
inline constexpr Style ES_LOWERCASE = 0x0010;
inline constexpr Style ES_PASSWORD = 0x0020;
inline constexpr Style ES_AUTOVSCROLL = 0x0040;
inline constexpr Style ES_AUTOHSCROLL = 0x0080;
inline constexpr Style ES_NOHIDESEL = 0x0100;
inline constexpr Style ES_READONLY = 0x0800;
inline constexpr Style ES_WANTRETURN = 0x1000;
inline constexpr Style ES_NUMBER = 0x2000;

// List box styles.
inline constexpr Style LBS_NOTIFY = 0x0001;
inline constexpr Style LBS_SORT = 0x0002;
inline constexpr Style LBS_NOREDRAW = 0x0004;
inline constexpr Style LBS_MULTIPLESEL = 0x0008;
inline constexpr Style LBS_OWNERDRAWFIXED = 0x0010;
inline constexpr Style LBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr Style LBS_HASSTRINGS = 0x0040;
inline constexpr Style LBS_USETABSTOPS = 0x0080;
inline constexpr Style LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr Style LBS_MULTICOLUMN = 0x0200;
inline constexpr Style LBS_WANTKEYBOARDINPUT = 0x0400;
inline constexpr Style LBS_EXTENDEDSEL = 0x0800;
inline constexpr Style LBS_DISABLENOSCROLL = 0x1000;  // scroll bars always shown
inline constexpr Style LBS_NODATA = 0x2000;
inline constexpr Style LBS_NOSEL = 0x4000;

// Combo box styles. The low two bits are the combo's type.
inline constexpr Style CBS_SIMPLE = 0x0001;
inline constexpr Style CBS_DROPDOWN = 0x0002;
inline constexpr Style CBS_DROPDOWNLIST = 0x0003;
inline constexpr Style CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr Style CBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr Style CBS_AUTOHSCROLL = 0x0040;
inline constexpr Style CBS_OEMCONVERT = 0x0080;
inline constexpr Style CBS_SORT = 0x0100;
inline constexpr Style CBS_HASSTRINGS = 0x0200;
inline constexpr Style CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr Style CBS_DISABLENOSCROLL = 0x0800;
inline constexpr Style CBS_UPPERCASE = 0x2000;
inline constexpr Style CBS_LOWERCASE = 0x4000;

// Tooltip styles.
inline constexpr Style TTS_ALWAYSTIP = 0x01;
inline constexpr Style TTS_NOPREFIX = 0x02;
inline constexpr Style TTS_BALLOON = 0x40;

}  // namespace ui
