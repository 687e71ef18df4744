// The editor's option records: caret, other options, hot spot, colours, markers,
// margins and fold markers. Each property sends its control message when set.
#pragma once

#include "SciSupport.h"

#include <QString>
#include <array>
#include <memory>

class TScintillaMemo;

// Shared by every record: the editor it sends through. A record without an editor
// (a stored value being built) only keeps its fields.
class TSciOptionRecord {
public:
    explicit TSciOptionRecord(TScintillaMemo* editor) : editor_(editor) {}
    TScintillaMemo* Editor() const { return editor_; }

protected:
    long Send(unsigned msg, unsigned long wParam = 0, long lParam = 0) const;
    // Sends a colour as 24-bit RGB; with `withFlag` the message gets the use-this-colour
    // flag first (1 unless the colour is clDefault), otherwise `wParam`.
    void SendColor(unsigned msg, unsigned long wParam, TColor color) const;
    void SendFlaggedColor(unsigned msg, TColor color) const;
    // Keep the value, then send it (colours with the use-this-colour flag).
    void StoreFlaggedColor(TColor& field, unsigned msg, TColor color);
    void StoreBool(bool& field, unsigned msg, bool on);
    TColor GetColor(unsigned msg, unsigned long wParam = 0) const;
    bool GetBool(unsigned msg) const { return Send(msg) != 0; }

private:
    TScintillaMemo* editor_;
};

class TCaret : public TSciOptionRecord {
public:
    using TSciOptionRecord::TSciOptionRecord;
    TColor ForeColor() const;
    void SetForeColor(TColor color);
    TColor LineBackColor() const;
    void SetLineBackColor(TColor color);
    bool LineVisible() const;
    void SetLineVisible(bool on);
    int Width() const;
    void SetWidth(int pixels);
    int Period() const;
    void SetPeriod(int milliseconds);
    int LineBackAlpha() const;
    void SetLineBackAlpha(int alpha);
};

enum TSciWhiteSpace { sciWsInvisible = 0, sciWsVisibleAlways = 1, sciWsVisibleAfterIndent = 2 };

class TOtherOptions : public TSciOptionRecord {
public:
    using TSciOptionRecord::TSciOptionRecord;
    TSciWhiteSpace ViewWSpace() const;
    void SetViewWSpace(TSciWhiteSpace mode);
    // The control no longer has palettes; the value is kept here and still sent.
    bool UsePalette() const { return usePalette_; }
    void SetUsePalette(bool on);
    bool OverType() const;
    void SetOverType(bool on);
    bool ViewEOL() const;
    void SetViewEOL(bool on);
    bool EndAtLastLine() const;
    void SetEndAtLastLine(bool on);
    bool ScrollBarH() const;
    void SetScrollBarH(bool on);
    bool ScrollBarV() const;
    void SetScrollBarV(bool on);
    bool ScrollWidthTracking() const;
    void SetScrollWidthTracking(bool on);
    bool PasteConvertEndings() const;
    void SetPasteConvertEndings(bool on);

private:
    bool usePalette_ = false;
};

class TSciHotSpot : public TSciOptionRecord {
public:
    using TSciOptionRecord::TSciOptionRecord;
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor color);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    bool Underlined() const { return underlined_; }
    void SetUnderlined(bool on);
    bool SingleLine() const { return singleLine_; }
    void SetSingleLine(bool on);

private:
    TColor foreColor_ = HexRGB(0x0000FF);
    TColor backColor_ = clDefault;
    bool underlined_ = true;
    bool singleLine_ = false;
};

class TSciColors : public TSciOptionRecord {
public:
    using TSciOptionRecord::TSciOptionRecord;
    TColor SelFore() const { return selFore_; }
    void SetSelFore(TColor color);
    TColor SelBack() const { return selBack_; }
    void SetSelBack(TColor color);
    int SelAlpha() const { return selAlpha_; }
    // Values above 256 (opaque) are kept and sent as 256.
    void SetSelAlpha(int alpha);
    TColor MarkerFore() const { return markerFore_; }
    // Sent to the seven fold markers; nothing is sent for clDefault.
    void SetMarkerFore(TColor color);
    TColor MarkerBack() const { return markerBack_; }
    void SetMarkerBack(TColor color);
    TColor FoldHi() const { return foldHi_; }
    void SetFoldHi(TColor color);
    TColor FoldLo() const { return foldLo_; }
    void SetFoldLo(TColor color);
    TColor WhiteSpaceFore() const { return whiteSpaceFore_; }
    void SetWhiteSpaceFore(TColor color);
    TColor WhiteSpaceBack() const { return whiteSpaceBack_; }
    void SetWhiteSpaceBack(TColor color);

private:
    void StoreFoldMarkerColor(TColor& field, unsigned msg, TColor color);

    TColor selFore_ = clHighlightText;
    TColor selBack_ = clHighlight;
    int selAlpha_ = 256;
    TColor markerFore_ = HexRGB(0x0000FF);
    TColor markerBack_ = HexRGB(0x00FFFF);
    TColor foldHi_ = clBtnFace;
    TColor foldLo_ = clBtnFace;
    TColor whiteSpaceFore_ = clDefault;
    TColor whiteSpaceBack_ = clDefault;
};

// Marker shapes; the values are the control's marker symbols.
enum TSciMarkerShape {
    sciMCircle = 0,
    sciMRoundRect,
    sciMArrow,
    sciMSmallRect,
    sciMShortArrow,
    sciMEmpty,
    sciMArrowDown,
    sciMMinus,
    sciMPlus,
    sciMVLine,
    sciMLCorner,
    sciMTCorner,
    sciMBoxPlus,
    sciMBoxPlusConnected,
    sciMBoxMinus,
    sciMBoxMinusConnected,
    sciMLCornerCurve,
    sciMTCornerCurve,
    sciMCirclePlus,
    sciMCirclePlusConnected,
    sciMCircleMinus,
    sciMCircleMinusConnected,
    sciMBackground,
    sciMDotDotDot,
    sciMArrows,
    sciMPixMap,
    sciMFullRect,
};

// The identifiers of the marker shapes ("sciMCircle" ... "sciMFullRect").
extern const std::span<const TSciIdent> kSciMarkerShapeIdents;

class TSciMarker : public TSciOptionRecord {
public:
    TSciMarker(TScintillaMemo* editor, int number, int markerType);
    int Number() const { return number_; }
    int MarkerType() const { return markerType_; }
    void SetMarkerType(int type);
    // clDefault sends the editor's Colors.MarkerFore / MarkerBack instead.
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor color);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    int Alpha() const { return alpha_; }
    void SetAlpha(int alpha);
    // An existing file's bytes become the marker's pixmap (type sciMPixMap).
    QString PixmapFile() const { return pixmapFile_; }
    void SetPixmapFile(const QString& fileName);
    QByteArray PixmapText() const { return pixmapText_; }
    void SetPixmapText(const QByteArray& xpm);

    // Copies every field; only the type is sent at the end (besides the colours).
    void Assign(const TSciMarker& other);
    // Sends the whole definition (used for the bookmark when the editor is loaded).
    void Apply();

private:
    int number_;
    int markerType_;
    TColor foreColor_ = clDefault;
    TColor backColor_ = clDefault;
    int alpha_ = 256;
    QString pixmapFile_;
    QByteArray pixmapText_;
    bool suspended_ = false;
};

enum TSciMarginType { gutSymbol = 0, gutLineNumber = 1, gutMarginBack = 2, gutMarginFore = 3 };

// A margin. A line-number margin keeps the width it was given while the widest line
// number fits and widens when it does not (Fit), so no number is cut off.
class TMargin : public TSciOptionRecord {
public:
    TMargin(TScintillaMemo* editor, int number) : TSciOptionRecord(editor), number_(number) {}
    int Number() const { return number_; }
    // The width the control shows now.
    int Width() const;
    void SetWidth(int pixels);
    TSciMarginType MarginType() const;
    void SetMarginType(TSciMarginType type);
    bool Sensitive() const;
    void SetSensitive(bool on);
    // Copies the type and the width given to `other`.
    void Assign(const TMargin& other);
    // A visible line-number margin takes the width given to it or, when the document's
    // highest line number needs more, that width; other margins keep theirs.
    void Fit();

private:
    int FittedWidth() const;

    int number_;
    int givenWidth_ = -1;  // -1 until SetWidth
};

enum TSciFoldMarkerType { sciMarkCircle = 0, sciMarkBox, sciMarkPlusMinus, sciMarkArrows, sciMarkCustom };

// The seven folder markers of the fold margin.
class TSciFoldMarkers : public TSciOptionRecord {
public:
    enum Slot { Open, Closed, Sub, Tail, End, OpenMid, MidTail, SlotCount };

    explicit TSciFoldMarkers(TScintillaMemo* editor);
    TSciFoldMarkerType MarkerType() const { return markerType_; }
    // A different type sets the seven shapes; the current one sends nothing.
    void SetMarkerType(TSciFoldMarkerType type);
    TSciMarker& Marker(Slot slot) { return *markers_[slot]; }
    const TSciMarker& Marker(Slot slot) const { return *markers_[slot]; }
    TSciMarker& FoldOpen() { return Marker(Open); }
    TSciMarker& FoldClosed() { return Marker(Closed); }
    TSciMarker& FoldSub() { return Marker(Sub); }
    TSciMarker& FoldTail() { return Marker(Tail); }
    TSciMarker& FoldEnd() { return Marker(End); }
    TSciMarker& FoldOpenMid() { return Marker(OpenMid); }
    TSciMarker& FoldMidTail() { return Marker(MidTail); }
    // Copies the type and, unless it is custom, the seven markers.
    void Assign(const TSciFoldMarkers& other);

private:
    TSciFoldMarkerType markerType_ = sciMarkBox;
    std::array<std::unique_ptr<TSciMarker>, SlotCount> markers_;
};

// The control's marker numbers of the folder markers, in slot order.
extern const int kSciFoldMarkerNumbers[TSciFoldMarkers::SlotCount];
