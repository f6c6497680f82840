// Graphics: the editor. It owns the ordered control list (index 0 is the
// background, the last is topmost), keeps the controls in step with the
// plug-in's parameters, finds what needs repainting, repaints it into one
// off-screen bitmap and hands the region to the platform layer.
//
// A platform subclass (gui/headless/, gui/x11/) fills in the virtual slots
// marked "platform". Everything here runs on the GUI thread except the
// parameter linkage (SetParameterFromPlug, SetControlFromPlug, ...), which
// may run on any thread while the GUI thread draws: it only stores values
// and flags in the controls. Attach every control before the plug-in's
// AttachGraphics; the list itself is not changed while others read it.
#pragma once

#include <cstdint>

#include "base/mutex.h"
#include "base/ptrlist.h"
#include "base/sky_string.h"
#include "gui/iblend.h"
#include "gui/ibitmap.h"
#include "gui/icolor.h"
#include "gui/imouse_mod.h"
#include "gui/irect.h"
#include "gui/itext.h"
#include "plug/editor_link.h"

class BitmapStorage;
class IControl;
class IParam;
class IPopupMenu;
class PlugBase;
class PX_CachedFont;
class PX_MemBitmap;
class PX_SysBitmap;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

class Graphics : public IEditorLink {
 public:
  // An fps of 0 or less becomes 25. No bitmap is made before PrepDraw.
  Graphics(PlugBase* pPlug, int w, int h, int fps = 0);
  // Deletes the key catcher, every control and both bitmaps.
  ~Graphics() override;
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // --- Platform slots ------------------------------------------------------

  // Platform: copies the region of the draw bitmap to the screen.
  virtual bool DrawScreen(IRECT* pR) = 0;
  virtual bool MeasureIText(IText* pTxt, const char* str, IRECT* pR);
  // Platform: closes an open text field without committing it.
  virtual void ForceEndUserEdit() = 0;
  // Deletes every control and the bitmaps, makes new bitmaps of w x h and
  // tells the plug-in; the controls must be attached again.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  // Platform: type 4 Yes/No, 3 Yes/No/Cancel, 1 OK/Cancel; returns 1, 7 or 2.
  virtual int ShowMessageBox(const char* str, const char* caption, int type) = 0;
  // Platform: releases the mouse capture and shows the menu at the bottom
  // left of pAreaRect; returns the menu holding the chosen item (its chosen
  // index set), or null when dismissed or impossible.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) = 0;
  // Platform: opens a one-line field over pTextRect prefilled with str and
  // returns at once; when editing ends it calls SetFromStringAfterPrompt
  // (with a parameter) or the control's TextFromTextEntry. One field at a time.
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam) = 0;
  // Platform: paths of the host program, the plug-in's folder (with a
  // trailing '/'), the desktop and application-support folders.
  virtual void HostPath(SkyString* pPath) = 0;
  virtual void PluginPath(SkyString* pPath) = 0;
  virtual void DesktopPath(SkyString* pPath) = 0;
  virtual void AppSupportPath(SkyString* pPath, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(SkyString* pPath) = 0;
  // Platform: asks for a file; an empty pFilename means cancelled.
  virtual void PromptForFile(SkyString* pFilename, EFileAction action = kFileOpen,
                             SkyString* pDir = nullptr, const char* extensions = nullptr) = 0;
  virtual bool PromptForColor(IColor* pColor, const char* prompt = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) = 0;
  // Platform: opens the editor inside the host's parent window; null on failure.
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void*, void*, short = 0, short = 0) { return nullptr; }
  virtual void AttachSubWindow(void*) {}
  virtual void RemoveSubWindow() {}
  // Platform (also the plug-in's link): closes the window; the editor stays.
  void CloseWindow() override = 0;
  // Platform: the open window, or null.
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(SkyString* pStr) = 0;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // Platform: decodes the named image; null when it is missing or undecodable.
  virtual PX_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;

  // --- Controls and parameters ---------------------------------------------

  Graphics* GetGraphics() override { return this; }
  // Every control bound to paramIdx (or with it as an auxiliary parameter)
  // takes the value; plain values are normalised through the parameter first.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  void SetAllControlsDirty() override;
  // Makes the draw bitmap (scale x width by scale x height) and the scratch bitmap.
  void PrepDraw() override;
  // The pixels per editor unit the editor draws with: 1 or 2 (others give
  // the nearer). Controls keep their layout; every primitive draws its
  // shape, text and lines at the scale, and images come from their 2x
  // versions where there are some. A change remakes the draw bitmap (when
  // there is one) and repaints everything.
  void SetDrawScale(int scale);
  int DrawScale() const { return mDrawScale; }

  // Appends; returns the control's index (-1 for null). The editor owns the control.
  int AttachControl(IControl* pControl);
  // The image as an overwriting bitmap control at index 0.
  IControl* AttachBackground(int ID, const char* name);
  // A panel of the colour over the whole editor at index 0.
  IControl* AttachPanelBackground(const IColor* pColor);
  // Receives keys no control under the mouse takes; owned, not in the list.
  void AttachKeyCatcher(IControl* pControl);

  // Out-of-range indices are ignored.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetStrictDrawing(bool strict);
  void AssignParamNameToolTips();
  // The parameter of the control under (x, y), -1 for none or the
  // background; remembered for GetLastClickedParamForPTAutomation.
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();
  void OnGUIIdle();

  // --- Repainting ----------------------------------------------------------

  // Grows *pR by the rectangle of every dirty control; true if any was dirty.
  bool IsDirty(IRECT* pR);
  // Repaints the controls that meet *pR into the draw bitmap, then DrawScreen.
  // A control is marked clean just before it paints (so a change stored
  // while it paints leaves it dirty for the next cycle), and only when its
  // rectangle meets the region.
  bool Draw(IRECT* pR);

  // --- Input (the platform layer calls these) --------------------------------

  // The captured control, else the topmost visible control hit at (x, y);
  // grayed-out controls are skipped unless mouseOver and the control asks for it.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void ReleaseMouseCapture();
  // A menu for parameters with display texts of an enumerated or boolean
  // kind, a text field otherwise.
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  // Turns text typed for a parameter into the control's value.
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt);

  // Mouse and key events in editor coordinates (see graphics_input.cpp). A
  // mouse down captures the control hit, so drags, the mouse up and wheel
  // events reach it wherever they happen, and tells the host that the user
  // starts changing its parameter; the mouse up tells it the change ended.
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  // True when the control takes the double click as a single click.
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  // Ends an open text field first.
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  // Does nothing and returns false unless mouse-over handling is on.
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  // key: 0 space, 1-4 arrows up, down, left, right, 5-14 digits, 15-40
  // letters. True when the control under the mouse or the key catcher took it.
  bool OnKeyDown(int x, int y, int key);
  // For a window that closes (or loses the mouse) while a button is held:
  // releases the capture and sends the host the end notice still owed.
  void InterruptMouseGesture();

  // --- Accessors -----------------------------------------------------------

  PlugBase* GetPlug() { return mPlug; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  // Null when out of range.
  IControl* GetControl(int idx) { return mControls.Get(idx); }
  int NControls() const { return mControls.GetSize(); }
  IControl* GetKeyCatcher() { return mKeyCatcher; }
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }
  bool GetStrictDrawing() const { return mStrict; }
  // The region being repainted; every primitive is clipped to it.
  const IRECT& GetDrawRECT() const { return mDrawRECT; }
  // The draw bitmap and its pixels (null before PrepDraw); it is DrawScale()
  // times the editor's size.
  PX_IBitmap* GetDrawBitmap();
  PX_pixel* GetBits();

  // --- Drawing primitives (into the draw bitmap, clipped to the draw rectangle) --

  // Copies pDest's size from (srcX, srcY) of the bitmap to pDest.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                  const IChannelBlend* pBlend = nullptr);
  // Frame bmState of a filmstrip, counted from 1 (0 and 1 both give the first).
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmState = 1,
                  const IChannelBlend* pBlend = nullptr);
  // The whole bitmap centred on (destCtrX, destCtrY), turned by angle radians.
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg = 0, const IChannelBlend* pBlend = nullptr);
  // A knob from three equal bitmaps: the mask turned by angle degrees gives
  // the base its alpha, the turned top is copied over, and the result is
  // blended at (x, y).
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr,
                 bool antiAlias = false);
  // Writes the colour unblended; points outside the draw rectangle are ignored.
  bool ForcePixel(const IColor* pColor, int x, int y);
  // The pixel of the draw bitmap at editor position (x, y) (the top left one
  // of its block at scale 2); transparent outside it.
  IColor GetPoint(int x, int y);
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  // From radius minRadius to maxRadius along angle (radians, 0 up, clockwise).
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float minRadius,
                      float maxRadius, const IChannelBlend* pBlend = nullptr,
                      bool antiAlias = false);
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r,
                  const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                 bool antiAlias);
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                     bool antiAlias);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r,
                  const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* pBlend = nullptr);
  bool FillIConvexPolygon(const IColor* pColor, const int* x, const int* y, int npoints,
                          const IChannelBlend* pBlend = nullptr);
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  // The outline including the exclusive right and bottom edges.
  bool DrawRect(const IColor* pColor, IRECT* pR);
  // At fraction x (0-1) of the rectangle's width from the left.
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  // At fraction y (0-1) of the rectangle's height from the bottom.
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  // Draws str in *pR, or with measure sets *pR to the text's extent; false
  // when no font can be made for the style.
  bool DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure = false);

  // --- Bitmap and font resources (shared by every editor in the process) ---

  // The cached image for ID, decoded on the first request (the name of a
  // later request is not looked at), with its 2x version "name@2x.png" when
  // there is one. A missing image gives a handle with a null bitmap, which
  // draws nothing.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  // Hands a bitmap made at run time to the cache (one more holder if it is cached).
  void RetainBitmap(IBitmap* pBitmap);
  // Drops one holder of a retained bitmap; the last one frees it. Images
  // loaded by LoadIBitmap stay until the module goes away.
  void ReleaseBitmap(IBitmap* pBitmap);
  // A retained bilinear copy of w x h.
  IBitmap ScaleBitmap(IBitmap* pSrcBitmap, int w, int h);
  // A retained copy of the area *pR.
  IBitmap CropBitmap(IBitmap* pSrcBitmap, IRECT* pR);
  // The shared font for the style (made on first use), also stored in pTxt.
  PX_CachedFont* CacheFont(IText* pTxt);

 protected:
  SkyMutex mMutex;
  SkyPtrList<IControl> mControls;
  PlugBase* mPlug;
  IRECT mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1, mHiddenMousePointY = -1;

 private:
  void DeleteControls();
  void DeleteBitmaps();
  void DrawStrict(const IRECT& r);
  void DrawControlsOver(int j);
  void DrawFromBackground();
  // The region being repainted, in draw bitmap pixels.
  IRECT ScaledDrawRECT() const;
  // Fills the box (draw bitmap pixels, any range) within the draw rectangle.
  void FillPixels(PX_pixel color, int64_t l, int64_t t, int64_t r, int64_t b, float weight,
                  int mode);
  // The 2x version of an image, cached under key; null when there is none.
  PX_IBitmap* LoadHiRes(BitmapStorage* pCache, int key, const char* name);
  // A cached image enlarged to 2x (made on first use, kept with the image);
  // null for run-time bitmaps.
  PX_IBitmap* EnlargedImage(PX_IBitmap* pData);
  // 2x versions are cached under the image's identifier plus this.
  static constexpr int kHiResKey = 1 << 30;
  PX_CachedFont* ScaledFont(const IText* pTxt);
  bool DrawAxisLine(const IColor* pColor, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
  bool DrawBitmapScaled(IBitmap* pBitmap, const IRECT& r, int64_t sx, int64_t sy,
                        const IChannelBlend* pBlend);
  int HitControl(int x, int y, bool skipGrayed, bool mouseOver);
  // The host's begin and end notices around one user change of a parameter.
  void BeginGesture(int paramIdx);
  void EndGesture();

  PX_SysBitmap* mDrawBitmap = nullptr;
  PX_MemBitmap* mTmpBitmap = nullptr;
  PX_MemBitmap* mEnlarged = nullptr;  // images without a 2x version, enlarged
  int mWidth, mHeight, mFPS;
  int mDrawScale = 1;
  int mMouseCapture = -1, mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  int mLastClickedParam = -1;
  int mGestureParam = -1;  // the parameter whose end notice the host is owed
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;
};
