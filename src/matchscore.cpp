// matchscore: read two lists of four integers from standard input and write
// how many equal pairs stand at the same index, then how many stand at
// different indexes.
#include <cstdio>

int main()
{
    constexpr int listLength = 4;
    // A read that fails stores nothing, so every element starts at a defined
    // value: short or malformed input then always gives the same answer.
    int first[listLength] = {};
    int second[listLength] = {};
    for (int &value : first) {
        (void)std::scanf("%d", &value);
    }
    for (int &value : second) {
        (void)std::scanf("%d", &value);
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

    (void)std::printf("%d\n%d\n", samePosition, crossPosition);
    // The answer is all this program produces; a caller must not be told that
    // a lost answer succeeded. Write failures often show only at the flush.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::perror("matchscore: write error");
        return 1;
    }
    return 0;
}
