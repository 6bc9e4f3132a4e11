// Declarations of the Far Manager 1.70 (ANSI) plug-in interface that this module uses.
//
// Field order, sizes and constants follow the host's public API. On 32-bit Windows the host
// lays records out with 2-byte packing; elsewhere (64-bit Windows, the Linux module) natural
// alignment is used. Every record here holds only 4-byte fields, pointers and char arrays whose
// sizes are multiples of 4, so both rules give the same sizes on 32-bit targets; the 32-bit
// Windows build asserts them, and every 64-bit build asserts the naturally aligned layout.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FARAPI __stdcall
#else
#define FARAPI
#endif

#if defined(_WIN32)
#include <windows.h>
// windows.h still defines the 16-bit pointer qualifiers "far" and "near" as empty macros; they
// would swallow the name of the host-services namespace.
#undef far
#undef near
#else
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef std::int32_t BOOL;
typedef void *HANDLE;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t DWORD_PTR;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

// The standard Win32 console input record, as far as the module reads it.
struct KEY_EVENT_RECORD {
    BOOL bKeyDown;
    WORD wRepeatCount;
    WORD wVirtualKeyCode;
    WORD wVirtualScanCode;
    union {
        wchar_t UnicodeChar_;  // not used; keeps the union 2 bytes wide like the Win32 record
        char AsciiChar;
    } uChar;
    DWORD dwControlKeyState;
};
struct INPUT_RECORD {
    WORD EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
        std::uint8_t Raw[16];
    } Event;
};
constexpr WORD KEY_EVENT = 1;
#endif

constexpr int NM = 260;

#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 2)
#endif

struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};

struct FarDialogItem {
    int Type;
    int X1, Y1, X2, Y2;
    int Focus;
    union {
        int Selected;
        const char *History;
        const char *Mask;
        struct FarList *ListItems;
        int ListPos;
        void *VBuf;  // pointer-sized members of later API versions
    } Param;
    DWORD Flags;
    int DefaultButton;
    char Data[512];
};

struct PluginInfo {
    int StructSize;
    DWORD Flags;
    const char *const *DiskMenuStrings;
    int *DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char *const *PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char *const *PluginConfigStrings;
    int PluginConfigStringsNumber;
    const char *CommandPrefix;
};

struct EditorInfo {
    int EditorID;
    const char *FileName;
    int WindowSizeX;
    int WindowSizeY;
    int TotalLines;
    int CurLine;
    int CurPos;
    int CurTabPos;
    int TopScreenLine;
    int LeftPos;
    int Overtype;
    int BlockType;
    int BlockStartLine;
    int AnsiMode;
    int TableNum;
    DWORD Options;
    int TabSize;
    int BookMarkCount;
    DWORD CurState;
    DWORD Reserved[6];
};

struct EditorGetString {
    int StringNumber;
    const char *StringText;
    const char *StringEOL;
    int StringLength;
    int SelStart;
    int SelEnd;
};

struct EditorSetPosition {
    int CurLine;
    int CurPos;
    int CurTabPos;
    int TopScreenLine;
    int LeftPos;
    int Overtype;
};

struct EditorSaveFile {
    char FileName[NM];
    char *FileEOL;
};

// Host services, all __stdcall on Windows.
typedef int(FARAPI *FARAPIMENU)(INT_PTR PluginNumber, int X, int Y, int MaxHeight, DWORD Flags,
                                const char *Title, const char *Bottom, const char *HelpTopic,
                                const int *BreakKeys, int *BreakCode, const FarMenuItem *Item,
                                int ItemsNumber);
typedef int(FARAPI *FARAPIDIALOG)(INT_PTR PluginNumber, int X1, int Y1, int X2, int Y2,
                                  const char *HelpTopic, FarDialogItem *Item, int ItemsNumber);
typedef int(FARAPI *FARAPIMESSAGE)(INT_PTR PluginNumber, DWORD Flags, const char *HelpTopic,
                                   const char *const *Items, int ItemsNumber, int ButtonsNumber);
typedef const char *(FARAPI *FARAPIGETMSG)(INT_PTR PluginNumber, int MsgId);
typedef int(FARAPI *FARAPICONTROL)(HANDLE hPlugin, int Command, void *Param);
typedef HANDLE(FARAPI *FARAPISAVESCREEN)(int X1, int Y1, int X2, int Y2);
typedef void(FARAPI *FARAPIRESTORESCREEN)(HANDLE hScreen);
typedef int(FARAPI *FARAPIEDITOR)(const char *FileName, const char *Title, int X1, int Y1, int X2,
                                  int Y2, DWORD Flags, int StartLine, int StartChar);
typedef void(FARAPI *FARAPITEXT)(int X, int Y, int Color, const char *Str);
typedef int(FARAPI *FARAPIEDITORCONTROL)(int Command, void *Param);
typedef void *FARAPIUNUSED;  // services the module never calls

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[NM];
    INT_PTR ModuleNumber;
    const char *RootKey;
    FARAPIMENU Menu;
    FARAPIDIALOG Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIUNUSED GetDirList;
    FARAPIUNUSED GetPluginDirList;
    FARAPIUNUSED FreeDirList;
    FARAPIUNUSED Viewer;
    FARAPIEDITOR Editor;
    FARAPIUNUSED CmpName;
    FARAPIUNUSED CharTable;
    FARAPITEXT Text;
    FARAPIEDITORCONTROL EditorControl;
    // Later API versions append further pointers; the module neither copies nor uses them.
};

#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
#endif

// Size of the part of PluginStartupInfo that the module keeps (StructSize .. EditorControl).
constexpr std::size_t kStartupInfoKeptSize = offsetof(PluginStartupInfo, EditorControl) + sizeof(void *);

constexpr int MAKEFARVERSION(int major, int minor, int build) {
    return (major << 8) | minor | (build << 16);
}

constexpr DWORD FMSG_WARNING = 0x1;
constexpr DWORD FMENU_AUTOHIGHLIGHT = 0x4;

constexpr int DI_TEXT = 0;
constexpr int DI_DOUBLEBOX = 3;
constexpr int DI_EDIT = 4;
constexpr int DI_BUTTON = 7;

constexpr DWORD DIF_CENTERGROUP = 0x4000;
constexpr DWORD DIF_SEPARATOR = 0x10000;
constexpr DWORD DIF_HISTORY = 0x40000;

constexpr int FCTL_SETUSERSCREEN = 15;
constexpr DWORD EF_NONMODAL = 0x1;

constexpr int EE_READ = 0;
constexpr int EE_SAVE = 1;
constexpr int EE_REDRAW = 2;
constexpr int EE_CLOSE = 3;

constexpr int ECTL_GETSTRING = 0;
constexpr int ECTL_GETINFO = 6;
constexpr int ECTL_SETPOSITION = 7;
constexpr int ECTL_SAVEFILE = 20;
constexpr int ECTL_QUIT = 21;

constexpr DWORD ECSTATE_MODIFIED = 0x1;
constexpr DWORD ECSTATE_SAVED = 0x2;
constexpr DWORD ECSTATE_LOCKED = 0x4;

constexpr DWORD PF_DISABLEPANELS = 0x2;
constexpr DWORD PF_EDITOR = 0x4;

constexpr int OPEN_EDITOR = 5;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(FarMenuItem) == 140, "FarMenuItem must be 140 bytes");
static_assert(sizeof(FarDialogItem) == 548, "FarDialogItem must be 548 bytes");
static_assert(sizeof(PluginInfo) == 40, "PluginInfo must be 40 bytes");
static_assert(sizeof(EditorInfo) == 100, "EditorInfo must be 100 bytes");
static_assert(sizeof(EditorGetString) == 24, "EditorGetString must be 24 bytes");
static_assert(sizeof(EditorSetPosition) == 24, "EditorSetPosition must be 24 bytes");
static_assert(sizeof(EditorSaveFile) == 264, "EditorSaveFile must be 264 bytes");
static_assert(sizeof(INPUT_RECORD) == 20, "INPUT_RECORD must be 20 bytes");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "ModuleNumber offset");
static_assert(offsetof(PluginStartupInfo, Menu) == 272, "Menu offset");
static_assert(offsetof(PluginStartupInfo, Editor) == 316, "Editor offset");
static_assert(offsetof(PluginStartupInfo, EditorControl) == 332, "EditorControl offset");
static_assert(kStartupInfoKeptSize == 336, "the kept part of PluginStartupInfo is 336 bytes");
static_assert(offsetof(INPUT_RECORD, Event) == 4, "INPUT_RECORD event union offset");
#elif UINTPTR_MAX == UINT64_MAX
// 64-bit targets (the x86-64 DLL for 64-bit hosts, and the Linux module): natural alignment,
// 8-byte pointers, so a pointer after an odd number of 4-byte fields starts 4 bytes later.
static_assert(sizeof(FarMenuItem) == 140, "FarMenuItem must be 140 bytes");
static_assert(offsetof(FarMenuItem, Separator) == 136, "FarMenuItem::Separator offset");
static_assert(sizeof(FarDialogItem) == 552, "FarDialogItem must be 552 bytes");
static_assert(offsetof(FarDialogItem, Focus) == 20, "FarDialogItem::Focus offset");
static_assert(offsetof(FarDialogItem, Param) == 24, "FarDialogItem::Param offset");
static_assert(offsetof(FarDialogItem, Flags) == 32, "FarDialogItem::Flags offset");
static_assert(offsetof(FarDialogItem, DefaultButton) == 36, "FarDialogItem::DefaultButton offset");
static_assert(offsetof(FarDialogItem, Data) == 40, "FarDialogItem::Data offset");
static_assert(sizeof(PluginInfo) == 72, "PluginInfo must be 72 bytes");
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "PluginInfo::DiskMenuStrings offset");
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 24, "PluginInfo::DiskMenuStringsNumber offset");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 32, "PluginInfo::PluginMenuStrings offset");
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 40, "PluginInfo::PluginMenuStringsNumber offset");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 48, "PluginInfo::PluginConfigStrings offset");
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 56, "PluginInfo::PluginConfigStringsNumber offset");
static_assert(offsetof(PluginInfo, CommandPrefix) == 64, "PluginInfo::CommandPrefix offset");
static_assert(sizeof(EditorInfo) == 112, "EditorInfo must be 112 bytes");
static_assert(offsetof(EditorInfo, FileName) == 8, "EditorInfo::FileName offset");
static_assert(offsetof(EditorInfo, WindowSizeX) == 16, "EditorInfo::WindowSizeX offset");
static_assert(offsetof(EditorInfo, CurLine) == 28, "EditorInfo::CurLine offset");
static_assert(offsetof(EditorInfo, CurPos) == 32, "EditorInfo::CurPos offset");
static_assert(offsetof(EditorInfo, TopScreenLine) == 40, "EditorInfo::TopScreenLine offset");
static_assert(offsetof(EditorInfo, TableNum) == 64, "EditorInfo::TableNum offset");
static_assert(offsetof(EditorInfo, CurState) == 80, "EditorInfo::CurState offset");
static_assert(offsetof(EditorInfo, Reserved) == 84, "EditorInfo::Reserved offset");
static_assert(sizeof(EditorGetString) == 40, "EditorGetString must be 40 bytes");
static_assert(offsetof(EditorGetString, StringText) == 8, "EditorGetString::StringText offset");
static_assert(offsetof(EditorGetString, StringEOL) == 16, "EditorGetString::StringEOL offset");
static_assert(offsetof(EditorGetString, StringLength) == 24, "EditorGetString::StringLength offset");
static_assert(offsetof(EditorGetString, SelEnd) == 32, "EditorGetString::SelEnd offset");
static_assert(sizeof(EditorSetPosition) == 24, "EditorSetPosition must be 24 bytes");
static_assert(sizeof(EditorSaveFile) == 272, "EditorSaveFile must be 272 bytes");
static_assert(offsetof(EditorSaveFile, FileEOL) == 264, "EditorSaveFile::FileEOL offset");
#if defined(_WIN32)  // the Linux stand-in's wchar_t is 4 bytes wide
static_assert(sizeof(INPUT_RECORD) == 20, "INPUT_RECORD must be 20 bytes");
static_assert(offsetof(INPUT_RECORD, Event) == 4, "INPUT_RECORD event union offset");
#endif
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4, "ModuleName offset");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "ModuleNumber offset");
static_assert(offsetof(PluginStartupInfo, RootKey) == 272, "RootKey offset");
static_assert(offsetof(PluginStartupInfo, Menu) == 280, "Menu offset");
static_assert(offsetof(PluginStartupInfo, Control) == 312, "Control offset");
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 328, "RestoreScreen offset");
static_assert(offsetof(PluginStartupInfo, Editor) == 368, "Editor offset");
static_assert(offsetof(PluginStartupInfo, Text) == 392, "Text offset");
static_assert(offsetof(PluginStartupInfo, EditorControl) == 400, "EditorControl offset");
static_assert(kStartupInfoKeptSize == 408, "the kept part of PluginStartupInfo is 408 bytes");
#endif
static_assert(offsetof(EditorInfo, CurState) == offsetof(EditorInfo, BookMarkCount) + 4, "EditorInfo layout");
