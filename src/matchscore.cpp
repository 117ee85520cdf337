// matchscore: read two lists of four integers from standard input and write
// how many equal pairs stand at the same index, then how many stand at
// different indexes.
// Only C library headers: the release build compiles against musl's, and the
// C++ library's own headers, even <cstdio>, are configured for glibc's.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// A text stream ends a line with CR LF here. The program writes it itself, to
// streams in binary mode, so that the C runtime can neither add a CR nor
// split a message at its lines.
#define NEWLINE "\r\n"
#else
#define NEWLINE "\n"
#endif
#ifdef MATCHSCORE_APPLY_RELRO
#include <link.h>
#include <sys/mman.h>
#endif

// Reads one number into value; a read that converts nothing leaves it as it
// was. Returns 0, or the errno of a failure to read the input at all: the
// stream's error indicator, an end of input that the stream never saw, or
// the C library running out of memory for a long number. glibc reports the
// last as EOF with errno ENOMEM, and sets the end-of-file indicator too when
// the number runs to the end of the input.
static int readNumber(int &value)
{
    errno = 0;
    const bool hitEnd = scanf("%d", &value) == EOF;
    if (ferror(stdin) != 0 || (hitEnd && (feof(stdin) == 0 || errno == ENOMEM))) {
        // A failure must never pass as input, even one that left no reason.
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

// Writes all of text and returns 0, or the errno of the failure. Each message
// is formatted whole and leaves in one system call, whatever the C library
// would buffer, so that runs sharing a pipe or a log never interleave and a
// signal cannot cut a line short. Only a file that takes part of it (a disk
// that fills) is written to again, for the rest or for the reason it fails.
static int writeWhole(int descriptor, const char *text, unsigned length)
{
    while (length > 0) {
        const auto written = write(descriptor, text, length);
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        text += written;
        length -= static_cast<unsigned>(written);
    }
    return 0;
}

// Says "matchscore: WHAT: REASON" on standard error, in one write.
static void complain(const char *what, int error)
{
    constexpr int room = 256; // far more than any C library's reason needs
    char message[room];
    int length =
        snprintf(message, sizeof message, "matchscore: %s: %s" NEWLINE, what, strerror(error));
    if (length >= room) {
        length = room - 1; // a reason too long for the line is cut
    }
    if (length > 0) {
        (void)writeWhole(STDERR_FILENO, message, static_cast<unsigned>(length));
    }
}

#ifdef MATCHSCORE_APPLY_RELRO
// Makes the program's relocated data read-only (its RELRO range, which its
// headers give), as a dynamic loader would, and returns 0 or the errno of the
// failure. musl relocates a static PIE in its start-up but leaves that to its
// loader, which never runs, so a stray write could still redirect a call made
// through the data. Both ends are rounded down to a page, as both
// C libraries' loaders round them; the linker ends the range on a page.
static int protectRelocated(dl_phdr_info *program, size_t /*size*/, void * /*data*/)
{
    const auto pageMask = ~static_cast<ElfW(Addr)>(sysconf(_SC_PAGESIZE) - 1);
    for (ElfW(Half) i = 0; i < program->dlpi_phnum; ++i) {
        const ElfW(Phdr) &header = program->dlpi_phdr[i];
        if (header.p_type != PT_GNU_RELRO) {
            continue;
        }
        const ElfW(Addr) start = (program->dlpi_addr + header.p_vaddr) & pageMask;
        const ElfW(Addr) end = (program->dlpi_addr + header.p_vaddr + header.p_memsz) & pageMask;
        if (start < end && mprotect(reinterpret_cast<void *>(start), end - start, PROT_READ) != 0) {
            return errno;
        }
    }
    return 0;
}
#endif

int main()
{
#ifdef _WIN32
    (void)_setmode(STDOUT_FILENO, _O_BINARY);
    (void)_setmode(STDERR_FILENO, _O_BINARY);
#endif
#ifdef MATCHSCORE_APPLY_RELRO
    // Before any input is read; as in a loader, a program left writable
    // there does not run.
    if (const int error = dl_iterate_phdr(protectRelocated, nullptr); error != 0) {
        complain("memory protection error", error);
        return 1;
    }
#endif
    constexpr int listLength = 4;
    // A read that fails stores nothing, so every element starts at a defined
    // value: short or malformed input then always gives the same answer.
    int first[listLength] = {};
    int second[listLength] = {};
    // Input that could not be read is no answer at all, so stop at the first
    // failure and say why rather than count whatever was read before it.
    int readError = 0;
    for (int &value : first) {
        if (readError == 0) {
            readError = readNumber(value);
        }
    }
    for (int &value : second) {
        if (readError == 0) {
            readError = readNumber(value);
        }
    }
    if (readError != 0) {
        complain("read error", readError);
        return 1;
    }

    // Elements are never used up: a repeated value counts once per equal pair.
    int samePosition = 0;
    int crossPosition = 0;
    for (int i = 0; i < listLength; ++i) {
        for (int j = 0; j < listLength; ++j) {
            if (first[i] == second[j]) {
                ++(i == j ? samePosition : crossPosition);
            }
        }
    }

    char answer[2 * sizeof "-2147483648" NEWLINE];
    const int length =
        snprintf(answer, sizeof answer, "%d" NEWLINE "%d" NEWLINE, samePosition, crossPosition);
    int writeError = writeWhole(STDOUT_FILENO, answer, static_cast<unsigned>(length));
    // The answer is all this program produces; a caller must not be told that
    // a lost answer succeeded. Some file systems (NFS, FUSE) report a failed
    // write only when the file is closed.
    if (writeError == 0 && close(STDOUT_FILENO) != 0) {
        writeError = errno;
    }
    if (writeError != 0) {
        complain("write error", writeError);
        return 1;
    }
    return 0;
}
