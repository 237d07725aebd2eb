// The open and save dialogs of designs and pictures: the common file
// dialog with a panel (a template of the resource pack) that previews the
// file under the cursor.
// - CPreViewFileDlg: the base; adds the panel and draws a preview area that
//   has nothing to show (a framed area with a text, or a cross).
// - CPreViewDesignFileDlg: previews designs with a line of facts; when
//   opening, a file that does not preview cannot be chosen.
// - CPreViewImageFileDlg: previews pictures; when saving, the output size
//   (kept in proportion) and the JPEG compression.
// - CSelectExportBeadImageFileDlg: "Export Beaded Image As", which also
//   edits the export's colour-list placement and font size.
// The preview controls CPreViewDesign and CPreviewOriginal serve these
// dialogs and the wizard.
#pragma once

#include <memory>

#include "designfile/DesignPreview.h"
#include "image/Image.h"
#include "image/OlePicture.h"
#include "platform/gdi.h"
#include "platform/wnd.h"

class CGraphicOutputParams;
class CImageView;

// ---- Preview areas ----

// A static control whose look is kept as a state, so that it repaints
// itself: the button face, a framed message (a text, or a cross without
// one), or what a derived class paints.
class CPreviewArea : public CStatic {
 public:
  enum class EState { kFace, kMessage, kContents };

  // The framed message: on the button face, a 3-D frame (black top-left,
  // white bottom-right), the text centred in an 18-pixel band whose top
  // lies 12 pixels above the middle, or the two diagonals without a text.
  static void PaintMessage(CDC& dc, const CRect& rect, const char* text);

  void ShowFace();
  void ShowMessage(const char* text);
  void ShowContents();
  EState GetState() const { return m_state; }
  const CString& GetMessage() const { return m_message; }
  bool HasMessageText() const { return m_hasText; }

 protected:
  // The contents of the area, on a cleared client rectangle.
  virtual void PaintContents(CDC& dc, const CRect& rect);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  void Refresh();

  EState m_state = EState::kFace;
  CString m_message;
  bool m_hasText = false;
};

// A picture file's preview: an OLE picture or a picture of the library,
// both the dialog's.
class CPicturePreviewArea : public CPreviewArea {
 public:
  // Previews a file into the dialog's two holders (LoadPicturePreview) and
  // shows it; the picture's size, or (0, 0) when the file does not preview.
  CSize Load(const CString& path, std::unique_ptr<COlePicture>& ole, std::unique_ptr<CImage>& image);

  COlePicture* m_ole = nullptr;
  CImage* m_image = nullptr;

 protected:
  void PaintContents(CDC& dc, const CRect& rect) override;
};

// Fits a picture of width x height into the area: as high as the area,
// width in proportion but at most the area's, centred across.
CRect FitPreviewRect(const CRect& area, int width, int height);

// A design drawn bead by bead into a picture that is made once per design
// and size, then shown at each paint.
class CPreViewDesign : public CPreviewArea {
 public:
  // Loads the design for the preview (current files first, older ones
  // after); on success the control repaints.
  bool LoadDesign(const CString& path, CString& error, CString& version);
  void Unload();
  bool IsLoaded() const { return m_preview.IsLoaded(); }
  const CDesignPreview& GetPreview() const { return m_preview; }
  // The picture painted (made at the first paint after a load or resize);
  // for tests and the benchmark.
  const CImage* GetRendered() const { return m_rendered.get(); }
  // Renders the loaded design into a picture of the size.
  std::unique_ptr<CImage> Render(int width, int height) const;

 protected:
  void PaintContents(CDC& dc, const CRect& rect) override;

 private:
  CDesignPreview m_preview;
  std::unique_ptr<CImage> m_rendered;
};

// A picture scaled to fit: its own (owned) or a picture view of someone
// else (shared, never deleted here).
class CPreviewOriginal : public CPreviewArea {
 public:
  explicit CPreviewOriginal(bool shared = false) : m_shared(shared) {}
  ~CPreviewOriginal() override;

  bool LoadImage(const CString& path);
  void SetImageView(CImage* view);
  void Clear();
  CSize GetImageSize() const;
  const CImage* GetImage() const { return m_image; }

 protected:
  void PaintContents(CDC& dc, const CRect& rect) override;

 private:
  void Drop();

  CImage* m_image = nullptr;
  bool m_shared;
};

// ---- The dialogs ----

// The output size and its lock, shared by the picture save dialogs: every
// 500 ms the width and height fields are read, and a changed one sets the
// other in proportion.
struct CSizeLock {
  int width = 0;
  int height = 0;
  double ratio = 0;  // width / height, 0 when the height is 0

  void Set(int w, int h);
  // The fields' values (not positive counts as 0); true when one field must
  // be rewritten (which one: *rewriteHeight).
  bool Apply(int fieldWidth, int fieldHeight, bool& rewriteHeight);
};

class CPreViewFileDlg : public CFileDialog {
 public:
  CPreViewFileDlg(UINT templateId, BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter,
                  CWnd* parent);
  // The area with nothing to show: a text, or a cross without one.
  virtual void DrawPreviewMessage(CPreviewArea* control, const char* text);

  // The title (lpstrTitle) and the dialog's icon (a resource id, 0 for
  // none; destroyed when the dialog closes).
  void SetTitle(const CString& title);
  void SetIconId(UINT id) { m_iconId = id; }
  BOOL IsOpenDialog() const { return m_bOpenFileDialog; }

 protected:
  BOOL OnInitDialog() override;
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  // The picture save panels: the JPEG quality slider from `minimum` to 240,
  // enabled while the first file type is chosen.
  void InitQualitySlider(int minimum);
  // The width and height fields and the original-size line show m_size,
  // and the lock's timer starts (stopped when the dialog is destroyed).
  void StartSizeLock();
  // One tick of the lock when the timer is its own (false otherwise): a
  // changed width or height field rewrites the other in proportion.
  bool TickSizeLock(UINT_PTR id);

  CString m_title;
  UINT m_iconId = 0;
  HICON m_icon = nullptr;
  CSizeLock m_size;
  UINT_PTR m_sizeTimer = 0;
};

class CPreViewDesignFileDlg : public CPreViewFileDlg {
 public:
  CPreViewDesignFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter, CWnd* parent);

  // The facts line of a loaded preview (string 367).
  static CString FormatInfoLine(const CDesignPreview& preview, const CString& version, const CString& path);

  CPreViewDesign m_preview;
  bool m_previewLoaded = false;
  CString m_previewPath;  // the file the panel was last asked to preview

 protected:
  BOOL OnInitDialog() override;
  void OnFileNameChange() override;
  BOOL OnFileNameOK() override;
};

class CPreViewImageFileDlg : public CPreViewFileDlg {
 public:
  CPreViewImageFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter, CWnd* parent,
                       UINT iconId);
  void SetOutputSize(int width, int height) { m_size.Set(width, height); }
  CSize GetOutputSize() const { return CSize(m_size.width, m_size.height); }
  // The size of the picture previewed (0 x 0 without one).
  CSize GetPreviewSize() const { return m_previewSize; }

  CPicturePreviewArea m_previewArea;

 protected:
  BOOL OnInitDialog() override;
  void OnFileNameChange() override;
  void OnTypeChange() override;
  BOOL OnFileNameOK() override;
  afx_msg void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  void ShowPreviewSize();

  std::unique_ptr<COlePicture> m_ole;
  std::unique_ptr<CImage> m_image;
  CSize m_previewSize{0, 0};
};

class CSelectExportBeadImageFileDlg : public CPreViewFileDlg {
 public:
  CSelectExportBeadImageFileDlg(CGraphicOutputParams* params, LPCTSTR defExt, LPCTSTR fileName, DWORD flags,
                                LPCTSTR filter, CWnd* parent, UINT iconId);

  // The filter for a file type (0 BMP -> 3, 4 PNG -> 2, else 1) and back.
  static int FilterForFileType(int type);
  static int FileTypeForFilter(int filter);
  // The extension of a file type (".bmp", ".png", ".jpg").
  static const char* ExtensionForFileType(int type);

  CPicturePreviewArea m_previewArea;

 protected:
  BOOL OnInitDialog() override;
  void OnFileNameChange() override;
  void OnTypeChange() override;
  BOOL OnFileNameOK() override;
  afx_msg void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  CGraphicOutputParams* m_params;
  std::unique_ptr<COlePicture> m_ole;
  std::unique_ptr<CImage> m_image;
};

// The preview of a picture file into an area (shared by the picture
// dialogs): the picture through the OLE loader, else the image library;
// its size, or (0, 0) when the file does not preview. A missing file, a
// name without extension and ".tiff" get the cross, other files that do
// not preview the text 369. Collage files (".tsw") never preview.
CSize LoadPicturePreview(const CString& path, CPreviewArea& area, std::unique_ptr<COlePicture>& ole,
                         std::unique_ptr<CImage>& image);
void PaintPicturePreview(CDC& dc, const CRect& rect, COlePicture* ole, CImage* image);
