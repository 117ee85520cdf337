// matchscore: read two lists of four integers from standard input and write
// how many equal pairs stand at the same index, then how many stand at
// different indexes.
// Only C library headers: the release build compiles against musl's, and the
// C++ library's own headers, even <cstdio>, are configured for glibc's.
#include <errno.h>
#include <stdio.h>

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

int main()
{
    // The answer leaves in one write, so that runs sharing a pipe or a log
    // never interleave their lines; musl would otherwise flush at each newline.
    (void)setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
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
        errno = readError;
        perror("matchscore: read error");
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

    (void)printf("%d\n%d\n", samePosition, crossPosition);
    // The answer is all this program produces; a caller must not be told that
    // a lost answer succeeded. Write failures show at the flush, and on some
    // file systems (NFS, FUSE) only when the file is closed.
    const bool writeFailed = ferror(stdout) != 0;
    if (fclose(stdout) != 0 || writeFailed) {
        perror("matchscore: write error");
        return 1;
    }
    return 0;
}
