// The state of the one document the main window edits: its path (`CurrentPath`,
// empty for an untitled document) and its "changed" mark (`FileModified`). The
// document commands change it; start-up, dropping a file, closing and the build
// commands read it.
#pragma once

#include <QObject>
#include <QString>

class TDocumentState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QString& Path() const { return path_; }
    bool Modified() const { return modified_; }
    bool Untitled() const { return path_.isEmpty(); }

    void SetPath(const QString& path);
    void SetModified(bool modified);

signals:
    // The path or the mark changed.
    void Changed();

private:
    QString path_;
    bool modified_ = false;
};
