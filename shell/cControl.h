#pragma once
// Control objects: each binds one control of a dialog to a program variable. ToControl shows the
// variable, FromControl writes the control's state back.
#include <cstdint>
#include <string>

#include "platform/win/WinDialog.h"

class cDialog;

enum ControlKind : int32_t {
    kControlStaticText = 0,
    kControlAttachedEdit = 2,
    kControlEdit = 3,
    kControlCanvas = 4,
    kControlCheckBox = 5,
    kControlRadioButton = 6,
    kControlListA = 7,
    kControlListB = 8,
    kControlScrollBar = 11,
};

class cControl {
public:
    cControl() = default;
    virtual ~cControl() = default;
    cControl(const cControl&) = delete;
    cControl& operator=(const cControl&) = delete;

    // Finds the control in the dialog and keeps its window and position; false when missing.
    virtual bool Attach(cDialog* lpDialog);

    // Virtual operations in the order of their slots.
    virtual void Enable(int32_t bFlag);
    virtual void ToControl() {}
    virtual void FromControl() {}
    virtual void OnChange() {}
    virtual int32_t OnNotify(int32_t, void*) { return 0; }
    virtual int32_t Slot6() { return 0; }
    virtual void Slot7() {}
    virtual void OnListRefresh() {}   // slot 8
    virtual void OnKillFocus() {}     // slot 9
    virtual void OnRedraw() {}        // slot 10
    virtual void OnKey(int32_t, LPARAM, int32_t) {}

    HWND m_hWnd = nullptr;
    cDialog* m_lpDialog = nullptr;
    HWND m_hDialog = nullptr;
    uint16_t m_nId = 0;
    int32_t m_nKind = kControlStaticText;
    int32_t m_nScreenX = 0, m_nScreenY = 0;
    int32_t m_nClientX = 0, m_nClientY = 0;
};

class cCheckBox : public cControl {
public:
    cCheckBox(uint16_t nId, int32_t* lpBound);
    void ToControl() override;
    void FromControl() override;
    int32_t* m_lpBound;
};

class cRadioButton : public cControl {
public:
    cRadioButton(uint16_t nId, int32_t* lpBound, int32_t nValue);
    void ToControl() override;
    void FromControl() override;
    int32_t* m_lpBound;
    int32_t m_nValue;
};

class cStaticText : public cControl {
public:
    explicit cStaticText(uint16_t nId);
};

// The limits of an edit box; 0 takes the default when the box is attached.
struct EDITBOXSETUP {
    uint16_t nId = 0;
    std::string* lpText = nullptr;
    int32_t nReadLimit = 0;      // characters (default 4096)
    int32_t nPerLine = 0;        // characters per line (default 1024)
    int32_t nLines = 0;          // number of lines (default 32)
    int32_t bDoubleByte = 0;     // a Shift-JIS double-byte character counts as one
};
// The set-up of a box of at most b characters on one line.
EDITBOXSETUP MakeEditBoxSetup(uint16_t nId, std::string* lpText, int32_t b, int32_t bDoubleByte);

class cEditBox : public cControl {
public:
    explicit cEditBox(const EDITBOXSETUP& setup);
    bool Attach(cDialog* lpDialog) override;
    void ToControl() override;
    void FromControl() override;
    void OnChange() override;

    // The count GetDlgItemText is given: the terminating NUL included, never past the buffer.
    int32_t ReadCount() const;
    // The control's text as the box reads it (through the read count).
    std::string ReadControlText() const;
    // Length in the box's unit: characters with double-byte counting, bytes otherwise.
    int32_t Length(const std::string& text, size_t from, size_t to) const;

    static constexpr int32_t kReadBufferSize = 5120;

    EDITBOXSETUP m_Setup;
    std::string m_strPrevious;   // the last accepted text
    int32_t m_nSelStart = 0, m_nSelEnd = 0;
    int32_t m_bInChange = 0;
    int32_t m_bAttaching = 0;

private:
    // Cuts [lineStart, lineEnd) back to the per-line limit; returns the cut, on a character
    // boundary.
    size_t FindCut(const std::string& text, size_t lineStart, size_t lineEnd) const;
};
