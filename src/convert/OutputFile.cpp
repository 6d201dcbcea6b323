#include "convert/OutputFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}
} // namespace

OutputFile::OutputFile(const QString& targetPath) : target(targetPath) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open() {
    const QFileInfo info(target);
    if (info.isDir()) {
        error = QStringLiteral("a folder of that name exists");
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            info.absolutePath() + QStringLiteral("/.") + info.fileName() +
            QStringLiteral(".%1.part").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        // 0666 so the finished file gets the user's usual permissions through the umask.
        const int fd =
            ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0 || !(file = ::fdopen(fd, "wb"))) {
            error = systemError(errno);
            if (fd >= 0)
                ::close(fd);
            temporary.clear();
            return false;
        }
        // The engine hands over text a word at a time; a roomy buffer saves system calls.
        std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
        return true;
    }
    error = QStringLiteral("no free temporary name");
    temporary.clear();
    return false;
}

void OutputFile::write(const char* data, std::size_t length) {
    if (file && length > 0)
        std::fwrite(data, 1, length, file);
}

void OutputFile::write(const char* text) {
    write(text, std::strlen(text));
}

bool OutputFile::commit() {
    if (!file)
        return false;
    const bool written = std::ferror(file) == 0 && std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!written || !closed) {
        error = systemError(written ? errno : writeError);
        discard();
        return false;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        error = systemError(errno);
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

void OutputFile::discard() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.isEmpty()) {
        ::unlink(QFile::encodeName(temporary).constData());
        temporary.clear();
    }
}
