// libFuzzer target over the code page 936 codec: any bytes decode and encode back
// to the same bytes, through QString and through UTF-8; the UTF-8 check and the
// mixed decoder take any bytes.
#include "Cp936.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (platform::cp936::encode(platform::cp936::decode(bytes)) != raw) std::abort();
    if (platform::cp936::utf8ToCp936(platform::cp936::cp936ToUtf8(bytes)) != bytes) std::abort();
    (void)platform::cp936::looksLikeUtf8(bytes);
    (void)platform::cp936::encode(platform::cp936::decodeUtf8OrCp936(bytes));
    // The same bytes read as UTF-8 text: characters outside code page 936 become '?'.
    (void)platform::cp936::utf8ToCp936(bytes);
    return 0;
}
