#include "app/console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace app {

#ifdef Q_OS_WIN

namespace {

// The stream's handle: the one the program was given (a pipe or a file), or else the console
// of the process that started it, attached on first use. Null when there is neither.
HANDLE handleOf(Stream stream)
{
    const DWORD which = stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        return handle;
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (!attached)
        return nullptr;
    handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    SetStdHandle(which, handle);
    return handle;
}

} // namespace

bool writeText(Stream stream, const QString& text)
{
    const HANDLE handle = handleOf(stream);
    if (handle == nullptr)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = text.toStdWString();
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr)
               && written == wide.size();
    }
    QString lines = text;
    lines.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = lines.toUtf8();
    DWORD written = 0;
    return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr)
           && written == DWORD(bytes.size());
}

void reportStartFailure(const QString& text)
{
    if (writeText(Stream::Error, text))
        return;
    const std::wstring wide = text.trimmed().toStdWString();
    MessageBoxW(nullptr, wide.c_str(), L"Ahnemetri", MB_OK | MB_ICONERROR);
}

#else

bool writeText(Stream stream, const QString& text)
{
    std::FILE* file = stream == Stream::Output ? stdout : stderr;
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size())
           && std::fflush(file) == 0;
}

void reportStartFailure(const QString& text)
{
    writeText(Stream::Error, text);
}

#endif

} // namespace app
