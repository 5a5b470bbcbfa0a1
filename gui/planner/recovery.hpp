// SPDX-License-Identifier: MIT
#pragma once
// Recovery copies of unsaved projects. While a project has unsaved changes its window keeps a
// copy of it in the recovery/ folder of the user's data location: ID.lenstally.json (the
// project file as Save would write it), ID.origin (the path of the project's file, empty for a
// project never saved) and ID.lock, which the window holds as long as it runs. A copy whose lock
// can be taken was left by a planner that ended without saving: the next planner offers it.

#include <memory>
#include <string>
#include <vector>

#include <QDateTime>
#include <QString>

class QLockFile;

namespace lenstally {

class RecoveryCopy {
public:
    /// A copy left by a planner that is no longer running, locked by this process until it is
    /// recovered, discarded or set aside, or until this object goes.
    struct Orphan {
        QString copyPath;     // the project text
        QString originalPath; // where the project was saved; empty if it never was
        QDateTime written;    // when the copy was last written
        std::shared_ptr<QLockFile> lock;
    };

    /// The copy of one window; nothing is written until write().
    RecoveryCopy();
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    /// Writes the copy atomically (each file whole or not at all), taking the lock first.
    /// Returns false, leaving any earlier copy, when the folder cannot be written.
    bool write(const std::string& projectText, const QString& originalPath);
    /// Removes the copy, if any; the window keeps its lock.
    void remove();
    /// The copy's path, for tests.
    QString copyPath() const;

    /// The folder of the copies: AppLocalDataLocation/recovery.
    static QString folder();
    /// Copies whose planner has ended, newest first.
    static std::vector<Orphan> orphans();
    /// Deletes an orphan's files.
    static void discard(const Orphan& orphan);
    /// Renames an orphan that cannot be read to ID.damaged, so that it is not offered again and
    /// stays for someone to look at.
    static void setAside(const Orphan& orphan);

private:
    QString m_id;
    std::unique_ptr<QLockFile> m_lock; // taken at the first write, held until this object goes
};

} // namespace lenstally
