// Editing behaviour on top of the host: option records, the Lines adapter, the key
// command table, the event controller, keep-indent and the auto-closing of pairs.
#pragma once

#include "SciControllerHandler.h"
#include "SciKeyBindings.h"
#include "SciOptionRecords.h"
#include "SciScintillaBase.h"
#include "SciUtils.h"

#include <functional>

class TScintillaMemo;

// The editor's text seen as a list of lines (bytes, line ends excluded).
class TScintillaStrings {
public:
    explicit TScintillaStrings(TScintillaMemo* editor) : editor_(editor) {}

    // The control's line count, one less when the last line is empty.
    int Count() const;
    QByteArray Get(int index) const;
    void Put(int index, const QByteArray& text);
    void Insert(int index, const QByteArray& text);
    void Add(const QByteArray& text) { Insert(Count(), text); }
    void Delete(int index);
    void Clear();
    QByteArray Text() const;
    // Line ends become LF in LF mode and CR LF otherwise; identical text changes nothing.
    void SetText(const QByteArray& text);
    // Redrawing is off between the outermost begin and end; the end repaints.
    void BeginUpdate();
    void EndUpdate();

    // Called after SetText changed the text.
    std::function<void()> OnChange;

private:
    TScintillaMemo* editor_;
    int updateCount_ = 0;
};

// Indentation options (a set).
enum TSciIndentationOption : unsigned {
    KeepIndent = 1u << 0,
    TabIndents = 1u << 1,
    BackSpaceUnIndents = 1u << 2,
    IndentationGuides = 1u << 3,
};
using TSciIndentation = unsigned;

enum TSciWordWrap { sciNoWrap = 0, sciWrap = 1, sciWrapChar = 2 };
enum TSciEdgeMode { sciEdgeNone = 0, sciEdgeLine = 1, sciEdgeBackground = 2 };
enum TSciLayoutCache { sciCacheNone = 0, sciCacheCaret = 1, sciCachePage = 2, sciCacheDocument = 3 };
// Wrap visual flag sets: bit 0 end, bit 1 start (sent as 1 and 2).
enum TSciWrapVisualFlag : unsigned { sciWWEnd = 1u << 0, sciWWStart = 1u << 1 };
enum TSciWrapVisualFlagLocation : unsigned { sciEndByText = 1u << 0, sciStartByText = 1u << 1 };

class TScintillaMemo : public TScintillaBase {
public:
    explicit TScintillaMemo(QWidget* parent = nullptr);
    ~TScintillaMemo() override;

    TCaret Caret{this};
    TSciColors Colors{this};
    TSciMarker Bookmark{this, 1, sciMCircle};
    TOtherOptions OtherOptions{this};
    TSciHotSpot ActiveHotSpot{this};
    TMargin Gutter0{this, 0};
    TMargin Gutter1{this, 1};
    TMargin Gutter2{this, 2};
    TMargin Gutter3{this, 3};
    TMargin Gutter4{this, 4};
    TScintillaStrings Lines{this};
    TSciKeyCommandCollection KeyCommands{this};
    TSciController& Controller() { return controller_; }

    bool AutoCloseBraces = false;
    bool AutoCloseQuotes = false;

    // ---- properties of the option table -----------------------------------------------
    int EOLStyle() const { return int(Send(SCI_GETEOLMODE)); }
    // Sets the mode and converts the line ends already in the text.
    void SetEOLStyle(int eolMode);
    TSciIndentation Indentation() const;
    void SetIndentation(TSciIndentation options);
    int IndentWidth() const { return int(Send(SCI_GETINDENT)); }
    void SetIndentWidth(int width) { Send(SCI_SETINDENT, width); }
    int MarginLeft() const { return int(Send(SCI_GETMARGINLEFT)); }
    void SetMarginLeft(int pixels) { Send(SCI_SETMARGINLEFT, 0, pixels); }
    int MarginRight() const { return int(Send(SCI_GETMARGINRIGHT)); }
    void SetMarginRight(int pixels) { Send(SCI_SETMARGINRIGHT, 0, pixels); }
    int TabWidth() const { return int(Send(SCI_GETTABWIDTH)); }
    void SetTabWidth(int width) { Send(SCI_SETTABWIDTH, width); }
    bool UseTabs() const { return Send(SCI_GETUSETABS) != 0; }
    void SetUseTabs(bool on) { Send(SCI_SETUSETABS, on); }
    int MouseDwellTime() const { return int(Send(SCI_GETMOUSEDWELLTIME)); }
    void SetMouseDwellTime(int milliseconds) { Send(SCI_SETMOUSEDWELLTIME, milliseconds); }
    unsigned WordWrapVisualFlags() const { return unsigned(Send(SCI_GETWRAPVISUALFLAGS)); }
    void SetWordWrapVisualFlags(unsigned flags) { Send(SCI_SETWRAPVISUALFLAGS, flags); }
    unsigned WordWrapVisualFlagsLocation() const { return unsigned(Send(SCI_GETWRAPVISUALFLAGSLOCATION)); }
    void SetWordWrapVisualFlagsLocation(unsigned flags) { Send(SCI_SETWRAPVISUALFLAGSLOCATION, flags); }
    TSciLayoutCache LayoutCache() const { return TSciLayoutCache(Send(SCI_GETLAYOUTCACHE)); }
    void SetLayoutCache(TSciLayoutCache mode) { Send(SCI_SETLAYOUTCACHE, mode); }
    bool HideSelect() const { return hideSelect_; }
    void SetHideSelect(bool on);
    TSciWordWrap WordWrap() const { return TSciWordWrap(Send(SCI_GETWRAPMODE)); }
    void SetWordWrap(TSciWordWrap mode) { Send(SCI_SETWRAPMODE, mode); }
    TSciEdgeMode EdgeMode() const { return TSciEdgeMode(Send(SCI_GETEDGEMODE)); }
    void SetEdgeMode(TSciEdgeMode mode) { Send(SCI_SETEDGEMODE, mode); }
    int EdgeColumn() const { return int(Send(SCI_GETEDGECOLUMN)); }
    void SetEdgeColumn(int column) { Send(SCI_SETEDGECOLUMN, column); }
    TColor EdgeColor() const { return TColor(Send(SCI_GETEDGECOLOUR)) & 0xFFFFFF; }
    void SetEdgeColor(TColor color) { Send(SCI_SETEDGECOLOUR, ColorToRGB(color)); }
    int ControlCharSymbol() const { return int(Send(SCI_GETCONTROLCHARSYMBOL)); }
    void SetControlCharSymbol(int ch) { Send(SCI_SETCONTROLCHARSYMBOL, ch); }

    TMargin& Gutter(int number);

    // The marker that points at the line of the message shown from the output list.
    static constexpr int kErrorMarker = 2;
    // Puts the caret at the start of `line` (0-based) and scrolls the line into view.
    void GotoLineStart(int line);
    // Marks `line` as the line of the message shown; no other line keeps the mark.
    void MarkErrorLine(int line);
    // Every line-number margin is made wide enough for the highest line number.
    void FitLineNumberMargins();

    // Buffered drawing, save point, bookmark, then the controller takes the events.
    void Loaded() override;

protected:
    // Keep-indent, auto-closed braces and quotes, then the OnCharAdded event.
    void DoCharAdded(int ch) override;
    // Lines added or removed, another text, a zoom or a font change may change the
    // room the line numbers need.
    void DoModified(const TSciModification& m) override;
    void DoZoom() override;
    void FontChanged() override;
    void WholeTextReplaced() override { FitLineNumberMargins(); }
    // Keys the control cannot tell apart (the keypad's + - /) go through the table here.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void KeepIndentAfterNewLine(int ch);
    void InsertClosingPartner(char closing);

    TSciController controller_{this};
    bool keepIndent_ = false;
    bool hideSelect_ = false;
};
