// The main window's controls made from the layout table: the DPI they are sized at,
// their fonts, the child windows in tab order, laid out again at another DPI,
// and what start-up adds after the first paint, the link's tooltip and the
// file boxes' drop targets.
// Every creation is checked; a failure leaves its error code in Error().
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <string>

#include "run/run.h"
#include "window/layout.h"
#include "shell/drop_target.h"
#include "base/win32/handles.h"

namespace tavrel {

inline constexpr wchar_t kFrameClass[] = L"TavrelFrame";

class WindowControls {
 public:
  // The procedures of the window's classes and the subclass of the labels
  // and the file boxes.
  struct Procedures {
    WNDPROC main, frame;
    SUBCLASSPROC label;
  };

  // The fonts of the table at `dpi`.
  bool CreateFonts(int dpi);
  int Dpi() const { return dpi_; }
  HFONT TitleFont() const { return fonts_.ui.get(); }
  HFONT ButtonFont() const { return fonts_.button.get(); }
  // The main window's rectangle at the DPI: the table's client area, centred
  // in the work area.
  RECT CentredWindowRect() const;
  // Fonts, places and sizes of every control at `dpi`; false (nothing
  // changed) when the fonts cannot be made.
  bool Rescale(int dpi);

  // The window classes (once per process) and the main window, hidden,
  // centred, with a client area of the table's size at the fonts' DPI; `owner` goes into its
  // creation record. Null on failure.
  HWND CreateMainWindow(HINSTANCE instance, const std::wstring& caption, void* owner,
                        const Procedures& procedures);
  // Every control of the table, in `main` or in the file frame, created in tab order
  // with its caption in `texts`' language; the labels and the file boxes
  // subclassed with the label procedure and `owner`.
  bool CreateControls(HINSTANCE instance, HWND main, void* owner, const Procedures& procedures,
                      const Texts& texts);
  HWND Window(Control c) const { return controls_[static_cast<int>(c)]; }

  // After the first paint: the tooltips of the link and the boxes; OLE and the two file boxes as
  // drop targets, whose drags go to `sink`.
  bool CreateTooltip(HINSTANCE instance, HWND main, const Texts& texts);
  bool RegisterDropTargets(IDropSink& sink);
  // Revokes the drop targets and uninitialises OLE; before the windows go.
  void ReleaseDropTargets();

  // The error code of the creation that failed (a system error or an HRESULT).
  DWORD Error() const { return error_; }

 private:
  struct Fonts {
    UniqueFont ui, button, link;
  };

  int Px(int twips) const { return TwipsToPixels(twips, dpi_); }
  // A control's rectangle in pixels within its parent.
  RECT PixelRect(const ControlLayout& layout) const;
  bool MakeFonts(int dpi, Fonts& fonts);
  bool RegisterClasses(HINSTANCE instance, const Procedures& procedures);
  HWND CreateControl(HINSTANCE instance, HWND main, void* owner, const ControlLayout& layout,
                     const Texts& texts);
  HFONT FontOf(const ControlLayout& layout) const;
  bool Fail(DWORD error);

  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  Fonts fonts_;
  std::array<HWND, kControlCount> controls_{};  // children: they go with the main window
  HWND tooltip_ = nullptr;                       // owned by the main window: goes with it
  OleScope ole_;
  std::array<DropRegistration, 2> dropTargets_;  // after ole_: revoked before OLE ends
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace tavrel
