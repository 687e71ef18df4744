// An initialisation file with the Windows rules: "[section]" headers and "key=value"
// lines in code page 936 with CR LF line ends; section and key names ignore case;
// a new key goes to the end of its section, an existing key keeps its place (written
// back under the name the writer gives). Every read or write opens and closes the
// file; nothing is cached.
#pragma once

#include <QString>

namespace platform {

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    // The largest settings file that is read; a bigger one counts as broken.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    const QString& path() const { return path_; }

    // Empty when the file is missing or sound; otherwise what is wrong with it, in
    // Chinese: it cannot be read (a folder, a device or pipe in its place, too large,
    // no permission) or a line is neither blank, a comment, a section nor a key.
    QString problem() const;

    // The key's value with blanks around it removed, or `fallback` when the file,
    // the section or the key is missing, or the file cannot be read.
    QString readString(const QString& section, const QString& key, const QString& fallback = {}) const;

    // The key's value read as a whole number (decimal, or hexadecimal after "0x");
    // `fallback` when the key is missing or its value is not a number.
    long long readInt(const QString& section, const QString& key, long long fallback) const;

    // Writes the key; creates the file and the section when missing. Raises
    // platform::Error naming the file when it cannot be read or written; the file
    // is then unchanged.
    void writeString(const QString& section, const QString& key, const QString& value) const;

    // Parses a number the way readInt does; false when text is not a number.
    static bool parseNumber(const QString& text, long long& value);

private:
    QString path_;
};

}  // namespace platform
