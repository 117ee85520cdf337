/* Times process start-up: from posix_spawn to the child's exit, for each
 * program in turn. Every round runs each program once, starting one further
 * along the list than the round before, so that no program always follows
 * the same one; a shared machine's drift then falls on all of them alike.
 *
 * Usage: spawn ROUNDS INPUT PROGRAM...
 * Each run reads INPUT and writes to /dev/null. Prints a line for each
 * program, in the order given: the median wall time in microseconds, its
 * ratio to the first program's, and the median minor page faults. */
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

static int compare(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static double median(double *values, int count)
{
    qsort(values, (size_t)count, sizeof *values, compare);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

int main(int argc, char **argv)
{
    if (argc < 4 || atoi(argv[1]) < 1) {
        fprintf(stderr, "usage: spawn ROUNDS INPUT PROGRAM...\n");
        return 2;
    }
    int rounds = atoi(argv[1]), count = argc - 3;
    char **programs = argv + 3;
    double *micros = calloc((size_t)(rounds * count), sizeof *micros);
    double *faults = calloc((size_t)(rounds * count), sizeof *faults);
    if (!micros || !faults) {
        perror("spawn");
        return 1;
    }
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, argv[2], O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);

    for (int round = 0; round < rounds; round++) {
        for (int k = 0; k < count; k++) {
            int which = (round + k) % count;
            char *child_argv[] = {programs[which], NULL};
            struct timespec start, end;
            struct rusage usage;
            pid_t pid;
            int status;
            clock_gettime(CLOCK_MONOTONIC, &start);
            /* posix_spawn returns its error rather than setting errno. */
            int error = posix_spawn(&pid, programs[which], &files, NULL, child_argv, environ);
            if (error == 0 && wait4(pid, &status, 0, &usage) != pid) {
                error = errno;
            }
            if (error != 0) {
                fprintf(stderr, "spawn: %s: %s\n", programs[which], strerror(error));
                return 1;
            }
            clock_gettime(CLOCK_MONOTONIC, &end);
            micros[which * rounds + round] =
                (double)(end.tv_sec - start.tv_sec) * 1e6 + (double)(end.tv_nsec - start.tv_nsec) / 1e3;
            faults[which * rounds + round] = (double)usage.ru_minflt;
        }
    }

    double floor = median(micros, rounds);
    for (int which = 0; which < count; which++) {
        double time = median(micros + which * rounds, rounds);
        printf("%.1f %.2f %.0f\n", time, time / floor,
               median(faults + which * rounds, rounds));
    }
    return 0;
}
