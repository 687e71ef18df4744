// Property-to-message mapping of the editor's option records.
#include "SciOptionRecords.h"

#include "SciScintillaMemo.h"

#include <QFile>

#include <algorithm>

using B = QsciScintillaBase;

const int kSciFoldMarkerNumbers[TSciFoldMarkers::SlotCount] = {
    B::SC_MARKNUM_FOLDEROPEN, B::SC_MARKNUM_FOLDER,        B::SC_MARKNUM_FOLDERSUB,     B::SC_MARKNUM_FOLDERTAIL,
    B::SC_MARKNUM_FOLDEREND,  B::SC_MARKNUM_FOLDEROPENMID, B::SC_MARKNUM_FOLDERMIDTAIL,
};

namespace {

// The shapes each fold-marker type gives the seven markers, in slot order
// (open, closed, sub, tail, end, open-mid, mid-tail).
constexpr int kFoldMarkerShapes[sciMarkCustom][TSciFoldMarkers::SlotCount] = {
    /* circle     */ {sciMCircleMinus, sciMCirclePlus, sciMVLine, sciMLCorner, sciMLCornerCurve,
                      sciMCirclePlusConnected, sciMTCornerCurve},
    /* box        */
    {sciMBoxMinus, sciMBoxPlus, sciMVLine, sciMLCorner, sciMBoxPlusConnected, sciMBoxMinusConnected, sciMTCorner},
    /* plus/minus */ {sciMMinus, sciMPlus, sciMEmpty, sciMEmpty, sciMEmpty, sciMEmpty, sciMEmpty},
    /* arrows     */ {sciMArrowDown, sciMArrow, sciMEmpty, sciMEmpty, sciMEmpty, sciMEmpty, sciMEmpty},
};

constexpr int kOpaqueAlpha = 256;

constexpr TSciIdent kMarkerShapes[] = {
    {sciMCircle, "sciMCircle"},
    {sciMRoundRect, "sciMRoundRect"},
    {sciMArrow, "sciMArrow"},
    {sciMSmallRect, "sciMSmallRect"},
    {sciMShortArrow, "sciMShortArrow"},
    {sciMEmpty, "sciMEmpty"},
    {sciMArrowDown, "sciMArrowDown"},
    {sciMMinus, "sciMMinus"},
    {sciMPlus, "sciMPlus"},
    {sciMVLine, "sciMVLine"},
    {sciMLCorner, "sciMLCorner"},
    {sciMTCorner, "sciMTCorner"},
    {sciMBoxPlus, "sciMBoxPlus"},
    {sciMBoxPlusConnected, "sciMBoxPlusConnected"},
    {sciMBoxMinus, "sciMBoxMinus"},
    {sciMBoxMinusConnected, "sciMBoxMinusConnected"},
    {sciMLCornerCurve, "sciMLCornerCurve"},
    {sciMTCornerCurve, "sciMTCornerCurve"},
    {sciMCirclePlus, "sciMCirclePlus"},
    {sciMCirclePlusConnected, "sciMCirclePlusConnected"},
    {sciMCircleMinus, "sciMCircleMinus"},
    {sciMCircleMinusConnected, "sciMCircleMinusConnected"},
    {sciMBackground, "sciMBackground"},
    {sciMDotDotDot, "sciMDotDotDot"},
    {sciMArrows, "sciMArrows"},
    {sciMPixMap, "sciMPixMap"},
    {sciMFullRect, "sciMFullRect"},
};

}  // namespace

const std::span<const TSciIdent> kSciMarkerShapeIdents(kMarkerShapes);

// ---- TSciOptionRecord -----------------------------------------------------------------

long TSciOptionRecord::Send(unsigned msg, unsigned long wParam, long lParam) const {
    return editor_ ? editor_->Send(msg, wParam, lParam) : 0;
}

void TSciOptionRecord::SendColor(unsigned msg, unsigned long wParam, TColor color) const {
    if (editor_) editor_->SendColor(msg, wParam, color);
}

void TSciOptionRecord::SendFlaggedColor(unsigned msg, TColor color) const {
    const bool use = color != clDefault;
    Send(msg, use, use ? long(ColorToRGB(color)) : 0);
}

void TSciOptionRecord::StoreFlaggedColor(TColor& field, unsigned msg, TColor color) {
    field = color;
    SendFlaggedColor(msg, color);
}

void TSciOptionRecord::StoreBool(bool& field, unsigned msg, bool on) {
    field = on;
    Send(msg, on);
}

TColor TSciOptionRecord::GetColor(unsigned msg, unsigned long wParam) const {
    return TColor(Send(msg, wParam)) & 0xFFFFFF;
}

// ---- TCaret ---------------------------------------------------------------------------

TColor TCaret::ForeColor() const { return GetColor(B::SCI_GETCARETFORE); }
void TCaret::SetForeColor(TColor color) { Send(B::SCI_SETCARETFORE, ColorToRGB(color)); }
TColor TCaret::LineBackColor() const { return GetColor(B::SCI_GETCARETLINEBACK); }
void TCaret::SetLineBackColor(TColor color) { Send(B::SCI_SETCARETLINEBACK, ColorToRGB(color)); }
bool TCaret::LineVisible() const { return GetBool(B::SCI_GETCARETLINEVISIBLE); }
void TCaret::SetLineVisible(bool on) { Send(B::SCI_SETCARETLINEVISIBLE, on); }
int TCaret::Width() const { return int(Send(B::SCI_GETCARETWIDTH)); }
void TCaret::SetWidth(int pixels) { Send(B::SCI_SETCARETWIDTH, pixels); }
int TCaret::Period() const { return int(Send(B::SCI_GETCARETPERIOD)); }
void TCaret::SetPeriod(int milliseconds) { Send(B::SCI_SETCARETPERIOD, milliseconds); }
int TCaret::LineBackAlpha() const { return int(Send(B::SCI_GETCARETLINEBACKALPHA)); }
void TCaret::SetLineBackAlpha(int alpha) { Send(B::SCI_SETCARETLINEBACKALPHA, alpha); }

// ---- TOtherOptions --------------------------------------------------------------------

TSciWhiteSpace TOtherOptions::ViewWSpace() const { return TSciWhiteSpace(Send(B::SCI_GETVIEWWS)); }
void TOtherOptions::SetViewWSpace(TSciWhiteSpace mode) { Send(B::SCI_SETVIEWWS, mode); }
void TOtherOptions::SetUsePalette(bool on) { StoreBool(usePalette_, SCI_SETUSEPALETTE, on); }
bool TOtherOptions::OverType() const { return GetBool(B::SCI_GETOVERTYPE); }
void TOtherOptions::SetOverType(bool on) { Send(B::SCI_SETOVERTYPE, on); }
bool TOtherOptions::ViewEOL() const { return GetBool(B::SCI_GETVIEWEOL); }
void TOtherOptions::SetViewEOL(bool on) { Send(B::SCI_SETVIEWEOL, on); }
bool TOtherOptions::EndAtLastLine() const { return GetBool(B::SCI_GETENDATLASTLINE); }
void TOtherOptions::SetEndAtLastLine(bool on) { Send(B::SCI_SETENDATLASTLINE, on); }
bool TOtherOptions::ScrollBarH() const { return GetBool(B::SCI_GETHSCROLLBAR); }
void TOtherOptions::SetScrollBarH(bool on) { Send(B::SCI_SETHSCROLLBAR, on); }
bool TOtherOptions::ScrollBarV() const { return GetBool(B::SCI_GETVSCROLLBAR); }
void TOtherOptions::SetScrollBarV(bool on) { Send(B::SCI_SETVSCROLLBAR, on); }
bool TOtherOptions::ScrollWidthTracking() const { return GetBool(B::SCI_GETSCROLLWIDTHTRACKING); }
void TOtherOptions::SetScrollWidthTracking(bool on) { Send(B::SCI_SETSCROLLWIDTHTRACKING, on); }
bool TOtherOptions::PasteConvertEndings() const { return GetBool(B::SCI_GETPASTECONVERTENDINGS); }
void TOtherOptions::SetPasteConvertEndings(bool on) { Send(B::SCI_SETPASTECONVERTENDINGS, on); }

// ---- TSciHotSpot ----------------------------------------------------------------------

void TSciHotSpot::SetForeColor(TColor color) { StoreFlaggedColor(foreColor_, B::SCI_SETHOTSPOTACTIVEFORE, color); }
void TSciHotSpot::SetBackColor(TColor color) { StoreFlaggedColor(backColor_, B::SCI_SETHOTSPOTACTIVEBACK, color); }
void TSciHotSpot::SetUnderlined(bool on) { StoreBool(underlined_, B::SCI_SETHOTSPOTACTIVEUNDERLINE, on); }
void TSciHotSpot::SetSingleLine(bool on) { StoreBool(singleLine_, B::SCI_SETHOTSPOTSINGLELINE, on); }

// ---- TSciColors -----------------------------------------------------------------------

void TSciColors::SetSelFore(TColor color) { StoreFlaggedColor(selFore_, B::SCI_SETSELFORE, color); }
void TSciColors::SetSelBack(TColor color) { StoreFlaggedColor(selBack_, B::SCI_SETSELBACK, color); }
void TSciColors::SetFoldHi(TColor color) { StoreFlaggedColor(foldHi_, B::SCI_SETFOLDMARGINHICOLOUR, color); }
void TSciColors::SetFoldLo(TColor color) { StoreFlaggedColor(foldLo_, B::SCI_SETFOLDMARGINCOLOUR, color); }
void TSciColors::SetWhiteSpaceFore(TColor color) {
    StoreFlaggedColor(whiteSpaceFore_, B::SCI_SETWHITESPACEFORE, color);
}
void TSciColors::SetWhiteSpaceBack(TColor color) {
    StoreFlaggedColor(whiteSpaceBack_, B::SCI_SETWHITESPACEBACK, color);
}
void TSciColors::SetMarkerFore(TColor color) { StoreFoldMarkerColor(markerFore_, B::SCI_MARKERSETFORE, color); }
void TSciColors::SetMarkerBack(TColor color) { StoreFoldMarkerColor(markerBack_, B::SCI_MARKERSETBACK, color); }

void TSciColors::SetSelAlpha(int alpha) {
    selAlpha_ = std::min(alpha, kOpaqueAlpha);
    Send(B::SCI_SETSELALPHA, selAlpha_);
}

// Nothing is sent for clDefault.
void TSciColors::StoreFoldMarkerColor(TColor& field, unsigned msg, TColor color) {
    field = color;
    if (color == clDefault) return;
    for (int number : kSciFoldMarkerNumbers) SendColor(msg, number, color);
}

// ---- TSciMarker -----------------------------------------------------------------------

TSciMarker::TSciMarker(TScintillaMemo* editor, int number, int markerType)
    : TSciOptionRecord(editor), number_(number), markerType_(markerType) {}

void TSciMarker::SetMarkerType(int type) {
    markerType_ = type;
    if (!suspended_) Send(B::SCI_MARKERDEFINE, number_, type);
}

void TSciMarker::SetForeColor(TColor color) {
    foreColor_ = color;
    const TColor sent = color == clDefault && Editor() ? Editor()->Colors.MarkerFore() : color;
    if (sent != clDefault) SendColor(B::SCI_MARKERSETFORE, number_, sent);
}

void TSciMarker::SetBackColor(TColor color) {
    backColor_ = color;
    const TColor sent = color == clDefault && Editor() ? Editor()->Colors.MarkerBack() : color;
    if (sent != clDefault) SendColor(B::SCI_MARKERSETBACK, number_, sent);
}

void TSciMarker::SetAlpha(int alpha) {
    alpha_ = alpha;
    if (!suspended_) Send(B::SCI_MARKERSETALPHA, number_, alpha);
}

void TSciMarker::SetPixmapFile(const QString& fileName) {
    pixmapFile_ = fileName;
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
    QByteArray data = file.readAll();
    data.append('\0');
    pixmapText_.clear();
    markerType_ = sciMPixMap;
    if (Editor()) Editor()->SendImage(B::SCI_MARKERDEFINEPIXMAP, number_, data);
}

void TSciMarker::SetPixmapText(const QByteArray& xpm) {
    pixmapText_ = xpm;
    if (xpm.isEmpty() || (!pixmapFile_.isEmpty() && QFile::exists(pixmapFile_))) return;
    markerType_ = sciMPixMap;
    if (Editor()) Editor()->SendImage(B::SCI_MARKERDEFINEPIXMAP, number_, xpm);
}

void TSciMarker::Assign(const TSciMarker& other) {
    suspended_ = true;
    number_ = other.number_;
    SetPixmapFile(other.pixmapFile_);
    SetPixmapText(other.pixmapText_);
    SetForeColor(other.foreColor_);
    SetBackColor(other.backColor_);
    SetMarkerType(other.markerType_);
    SetAlpha(other.alpha_);
    suspended_ = false;
    SetMarkerType(markerType_);
}

void TSciMarker::Apply() {
    SetMarkerType(markerType_);
    SetPixmapFile(pixmapFile_);
    SetPixmapText(pixmapText_);
    SetBackColor(backColor_);
    SetForeColor(foreColor_);
    SetAlpha(alpha_);
    SetMarkerType(markerType_);
}

// ---- TMargin --------------------------------------------------------------------------

int TMargin::Width() const { return int(Send(B::SCI_GETMARGINWIDTHN, number_)); }
void TMargin::SetWidth(int pixels) {
    givenWidth_ = pixels;
    Send(B::SCI_SETMARGINWIDTHN, number_, FittedWidth());
}
TSciMarginType TMargin::MarginType() const { return TSciMarginType(Send(B::SCI_GETMARGINTYPEN, number_)); }
void TMargin::SetMarginType(TSciMarginType type) {
    Send(B::SCI_SETMARGINTYPEN, number_, type);
    Fit();
}
bool TMargin::Sensitive() const { return Send(B::SCI_GETMARGINSENSITIVEN, number_) != 0; }
void TMargin::SetSensitive(bool on) { Send(B::SCI_SETMARGINSENSITIVEN, number_, on); }

void TMargin::Assign(const TMargin& other) {
    SetMarginType(other.MarginType());
    SetWidth(other.givenWidth_ >= 0 ? other.givenWidth_ : other.Width());
}

void TMargin::Fit() {
    if (givenWidth_ < 0) return;
    const int width = FittedWidth();
    if (width != Width()) Send(B::SCI_SETMARGINWIDTHN, number_, width);
}

// Room for the highest line number in the line-number style, with the control's gap
// of a few pixels on either side of the digits.
int TMargin::FittedWidth() const {
    constexpr int kNumberPadding = 8;
    if (givenWidth_ <= 0 || MarginType() != gutLineNumber) return givenWidth_;
    const QByteArray widest(QByteArray::number(qlonglong(Send(B::SCI_GETLINECOUNT))).size(), '9');
    const int needed = int(Send(B::SCI_TEXTWIDTH, B::STYLE_LINENUMBER, reinterpret_cast<long>(widest.constData())));
    return std::max(givenWidth_, needed + kNumberPadding);
}

// ---- TSciFoldMarkers ------------------------------------------------------------------

TSciFoldMarkers::TSciFoldMarkers(TScintillaMemo* editor) : TSciOptionRecord(editor) {
    for (int slot = 0; slot < SlotCount; ++slot)
        markers_[slot] =
            std::make_unique<TSciMarker>(editor, kSciFoldMarkerNumbers[slot], kFoldMarkerShapes[sciMarkBox][slot]);
}

void TSciFoldMarkers::SetMarkerType(TSciFoldMarkerType type) {
    if (type == markerType_) return;
    markerType_ = type;
    if (type == sciMarkCustom) return;
    for (int slot = 0; slot < SlotCount; ++slot) markers_[slot]->SetMarkerType(kFoldMarkerShapes[type][slot]);
}

void TSciFoldMarkers::Assign(const TSciFoldMarkers& other) {
    SetMarkerType(other.markerType_);
    if (other.markerType_ == sciMarkCustom) return;
    for (int slot = 0; slot < SlotCount; ++slot) markers_[slot]->Assign(*other.markers_[slot]);
}
