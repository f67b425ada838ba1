/* Runs a program and writes its wall time, its own peak resident set and its
 * exit status to a file:
 *
 *     run_measured RESULT_FILE PROGRAM [ARGUMENTS...]
 *
 * A small C program on purpose: a child's peak resident set as wait4 reports
 * it starts from the resident set of the process that started it, so the
 * starter must be smaller than anything it measures. The program's standard
 * output goes to /dev/null. */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, 1);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    if (pid < 0)
        return 2;
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid)
        return 2;
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) * 1e-9;
    FILE* f = fopen(argv[1], "w");
    if (f == NULL)
        return 2;
    fprintf(f, "%.9f %ld %d\n", seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return fclose(f) == 0 ? 0 : 2;
}
