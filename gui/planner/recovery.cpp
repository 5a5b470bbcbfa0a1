// SPDX-License-Identifier: MIT
#include "gui/planner/recovery.hpp"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace lenstally {
namespace {

const QString kCopySuffix = QStringLiteral(".lenstally.json");

QString pathOf(const QString& id, const QString& suffix) {
    return RecoveryCopy::folder() + QLatin1Char('/') + id + suffix;
}

QString idOf(const QString& copyPath) {
    QString name = QFileInfo(copyPath).fileName();
    name.chop(kCopySuffix.size());
    return name;
}

std::unique_ptr<QLockFile> lockFor(const QString& id) {
    auto lock = std::make_unique<QLockFile>(pathOf(id, QStringLiteral(".lock")));
    // A planner holds its lock for as long as it runs: never stale by age, only when the
    // process that took it is gone.
    lock->setStaleLockTime(0);
    return lock;
}

bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

RecoveryCopy::RecoveryCopy() : m_id(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

RecoveryCopy::~RecoveryCopy() {
    remove();
}

QString RecoveryCopy::folder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/recovery");
}

QString RecoveryCopy::copyPath() const {
    return pathOf(m_id, kCopySuffix);
}

bool RecoveryCopy::write(const std::string& projectText, const QString& originalPath) {
    if (!m_lock) {
        if (!QDir().mkpath(folder())) {
            return false;
        }
        m_lock = lockFor(m_id);
        if (!m_lock->tryLock(0)) {
            m_lock.reset();
            return false;
        }
    }
    // The origin first: a copy is only ever found with the origin it was written with.
    return writeWhole(pathOf(m_id, QStringLiteral(".origin")), originalPath.toUtf8()) &&
           writeWhole(copyPath(), QByteArray::fromStdString(projectText));
}

void RecoveryCopy::remove() {
    if (m_lock) {
        QFile::remove(copyPath());
        QFile::remove(pathOf(m_id, QStringLiteral(".origin")));
    }
}

std::vector<RecoveryCopy::Orphan> RecoveryCopy::orphans() {
    const QDir dir(folder());
    // The locks of planners that ended with nothing unsaved: taking one removes it on release.
    for (const QFileInfo& lock : dir.entryInfoList({QStringLiteral("*.lock")}, QDir::Files)) {
        const QString id = lock.completeBaseName();
        if (!QFileInfo::exists(pathOf(id, kCopySuffix))) {
            lockFor(id)->tryLock(0);
        }
    }
    std::vector<Orphan> found;
    const QFileInfoList copies =
        dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies) {
        const QString id = idOf(copy.filePath());
        std::shared_ptr<QLockFile> lock = lockFor(id);
        if (!lock->tryLock(0)) {
            continue; // its planner is running
        }
        QFile origin(pathOf(id, QStringLiteral(".origin")));
        QString originalPath;
        if (origin.open(QIODevice::ReadOnly)) {
            originalPath = QString::fromUtf8(origin.readAll());
        }
        found.push_back({copy.filePath(), originalPath, copy.lastModified(), std::move(lock)});
    }
    return found;
}

void RecoveryCopy::discard(const Orphan& orphan) {
    const QString id = idOf(orphan.copyPath);
    QFile::remove(orphan.copyPath);
    QFile::remove(pathOf(id, QStringLiteral(".origin")));
    orphan.lock->unlock(); // removes the lock file
}

void RecoveryCopy::setAside(const Orphan& orphan) {
    const QString id = idOf(orphan.copyPath);
    QFile::rename(orphan.copyPath, pathOf(id, QStringLiteral(".damaged")));
    QFile::remove(pathOf(id, QStringLiteral(".origin")));
    orphan.lock->unlock();
}

} // namespace lenstally
