// Code page 936 conversion to and from QString.
#include "Cp936.h"

namespace platform::cp936 {

namespace codec = asmora::toolkit::cp936;

QString decode(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const size_t units = codec::decodeInto(bytes, reinterpret_cast<char16_t*>(out.data()));
    out.truncate(static_cast<qsizetype>(units));
    return out;
}

QString decode(const QByteArray& bytes) { return decode(std::string_view(bytes.constData(), bytes.size())); }

QByteArray encode(std::u16string_view text) { return QByteArray::fromStdString(codec::encode(text)); }

QByteArray encode(const QString& text) {
    return encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

QString decodeUtf8OrCp936(std::string_view bytes) {
    if (looksLikeUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decode(bytes);
}

}  // namespace platform::cp936
