// winsim: the part of Win32 that Tolvane uses, simulated for host tests.
// Names, types, values and sizes follow the Windows SDK (64-bit, UNICODE), so the
// program's sources compile unchanged. WCHAR is char16_t, which like Windows'
// wchar_t holds UTF-16 code units, so buffer capacities mean the same on both.
// The test-facing side (arranging a world, inspecting it) is in winsim/control.h.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- basic types (LLP64 sizes: DWORD and LONG are 32-bit) -----------------
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::int32_t INT;
typedef std::uint32_t UINT;
typedef int BOOL;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t ULONG_PTR;
typedef std::intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD MCIERROR;
typedef void* HANDLE;
typedef void* HGDIOBJ;

#define WINSIM_HANDLE(name)                                                                        \
    struct name##__ {                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__* name
WINSIM_HANDLE(HWND);
WINSIM_HANDLE(HINSTANCE);
WINSIM_HANDLE(HMENU);
WINSIM_HANDLE(HDC);
WINSIM_HANDLE(HFONT);
WINSIM_HANDLE(HBRUSH);
WINSIM_HANDLE(HPEN);
WINSIM_HANDLE(HICON);
#undef WINSIM_HANDLE
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;

#define WINAPI
#define CALLBACK
#define APIENTRY

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define TEXT(s) u##s

#define LOWORD(l) ((WORD)(((DWORD)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))

// ---- structures -------------------------------------------------------------
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(WINAPI* FARPROC)();
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
#define MAX_PATH 260
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};

// ---- constants ----------------------------------------------------------------
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_HIDDEN 0x02
#define FILE_ATTRIBUTE_SYSTEM 0x04
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20
#define FILE_ATTRIBUTE_NORMAL 0x80

#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SETFONT 0x0030
#define WM_DRAWITEM 0x002B
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_USER 0x0400
#define MM_MCINOTIFY 0x03B9

#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_SUPERSEDED 0x0002
#define MCI_NOTIFY_ABORTED 0x0004
#define MCI_NOTIFY_FAILURE 0x0008

#define MCIERR_BASE 256
#define MCIERR_UNRECOGNIZED_COMMAND (MCIERR_BASE + 5)
#define MCIERR_INVALID_DEVICE_NAME (MCIERR_BASE + 7)
#define MCIERR_CANNOT_LOAD_DRIVER (MCIERR_BASE + 10)
#define MCIERR_MISSING_COMMAND_STRING (MCIERR_BASE + 11)
#define MCIERR_PARAM_OVERFLOW (MCIERR_BASE + 12)
#define MCIERR_BAD_INTEGER (MCIERR_BASE + 14)
#define MCIERR_FILE_NOT_FOUND (MCIERR_BASE + 19)
#define MCIERR_INTERNAL (MCIERR_BASE + 21)
#define MCIERR_OUTOFRANGE (MCIERR_BASE + 26)
#define MCIERR_DUPLICATE_ALIAS (MCIERR_BASE + 33)

#define LB_ADDSTRING 0x0180
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_ERR (-1)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define BN_CLICKED 0
#define BN_DBLCLK 5

#define SB_CTL 2
#define SB_LINELEFT 0
#define SB_LINERIGHT 1
#define SB_PAGELEFT 2
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_LEFT 6
#define SB_RIGHT 7
#define SB_ENDSCROLL 8

#define WS_OVERLAPPED 0x00000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SBS_HORZ 0x0000L
#define BS_OWNERDRAW 0x0000000BL
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CW_USEDEFAULT ((int)0x80000000)
#define SW_SHOWNORMAL 1
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define BLACK_BRUSH 4
#define TRANSPARENT 1
#define OPAQUE 2
#define DT_CENTER 0x00000001
#define DT_VCENTER 0x00000004
#define DT_SINGLELINE 0x00000020
#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define IDOK 1
#define ODS_SELECTED 0x0001
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010
#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001

#define FW_NORMAL 400
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FF_DONTCARE (0 << 4)

// ---- kernel32 -------------------------------------------------------------------
HMODULE GetModuleHandleW(LPCWSTR moduleName);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags);
FARPROC GetProcAddress(HMODULE module, const char* procName);
BOOL SetDefaultDllDirectories(DWORD directoryFlags);
BOOL SetDllDirectoryW(LPCWSTR pathName);
DWORD GetVersion();
HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData);
BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData);
BOOL FindClose(HANDLE findFile);
LPWSTR lstrcpyW(LPWSTR destination, LPCWSTR source);
LPWSTR lstrcatW(LPWSTR destination, LPCWSTR source);
int lstrlenW(LPCWSTR text);
[[noreturn]] void ExitProcess(UINT exitCode);

// ---- user32 ---------------------------------------------------------------------
ATOM RegisterClassW(const WNDCLASSW* wndClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmdShow);
BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR cursorName);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
HWND GetCapture();
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC timerFunc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
HBRUSH GetSysColorBrush(int index);
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);

// ---- gdi32 ----------------------------------------------------------------------
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL Polygon(HDC dc, const POINT* points, int count);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF color);

// ---- winmm ----------------------------------------------------------------------
MCIERROR mciSendStringW(LPCWSTR command, LPWSTR returnString, UINT returnLength, HWND callback);
BOOL mciGetErrorStringW(MCIERROR error, LPWSTR text, UINT length);
