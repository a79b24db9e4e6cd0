// Launch to list: how long the program takes from the start of its process
// until the main window's address list holds the opened book's lines and
// has been painted once, offscreen.
//
//   bench_launch [--runs N] [FILE]
//
// FILE: the book to open; without it, the full-size benchmark book (32,766
// generated cards, seed 1, the planted bad cards included, as bench_book
// makes it) is written to a temporary folder first.
//
// Each run starts this program again as a child (`--child FILE`, started
// with posix_spawn, QT_QPA_PLATFORM=offscreen, settings and data folders in
// a fresh temporary folder). The child does what app/main.cpp does: the
// application, the program identity, Qt's Japanese translation, the shell
// session's start, the main window with FILE as the command line's file,
// show, and the event loop. The one difference: its prompter is the console
// prompter, so a question takes its default answer instead of waiting for
// a click. When the list's viewport has finished a paint with the model
// full, the child prints the steady clock's time and leaves at once (the
// window's teardown is not measured, and no settings are saved).
//
// The parent takes the steady clock just before posix_spawn, so every
// figure counts the exec, the dynamic linking and Qt's start. It prints
// each run (after one warm-up run that is not counted) and the medians,
// with the child's CPU time until the paint (the figure to compare on a
// machine busy with other work, where the clock's time stretches).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/consoleprompter.h"
#include "common/largepages.h"
#include "core/addresslist.h"
#include "core/ndbfile.h"
#include "mainwindow/fomBrindle.h"
#include "mainwindow/guiidentity.h"
#include "shell/startup.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"

extern char **environ;

namespace {

constexpr int BookCards = 32766;

long long steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// ---- The child: the program's start, measured from inside --------------

// Watches the list's viewport: the first paint that finds lines in the
// model is delivered here, and when it is done the times are printed and
// the process ends.
class PaintWatch : public QObject
{
public:
    PaintWatch(QListView *list, long long mainNs) : m_list(list), m_mainNs(mainNs)
    {
        QObject::connect(list->model(), &QAbstractItemModel::modelReset, this, [this] {
            if (m_list->model()->rowCount() > 0)
                m_filledNs = steadyNs();
        });
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_list->model()->rowCount() == 0)
            return false;
        watched->removeEventFilter(this);
        watched->event(event); // the list paints itself now
        const long long paintedNs = steadyNs();
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        const long long cpuNs = cpu.tv_sec * 1000000000LL + cpu.tv_nsec;
        std::printf("%lld %lld %lld %lld %d\n", m_mainNs, m_filledNs ? m_filledNs : paintedNs,
                    paintedNs, cpuNs, m_list->model()->rowCount());
        std::fflush(stdout);
        std::_Exit(0);
    }

private:
    QListView *m_list;
    long long m_mainNs;
    long long m_filledNs = 0;
};

int child(int argc, char **argv, const char *file)
{
    const long long mainNs = steadyNs();
    QApplication app(argc, argv);
    setProgramIdentity();
    installQtTranslation();

    ConsolePrompter prompter;
    ShellSession shell(QApplication::applicationDirPath());
    shell.start(prompter);
    fomBrindle window(shell, prompter, QString::fromLocal8Bit(file));
    auto *list = window.findChild<QListView *>(QStringLiteral("lstAdd"));
    if (!list || !list->model()) {
        std::fprintf(stderr, "bench_launch: the window has no address list\n");
        return 1;
    }
    PaintWatch watch(list, mainNs);
    window.show();
    app.exec();
    std::fprintf(stderr, "bench_launch: the event loop ended before the list was shown\n");
    return 1;
}

// ---- The parent: starts the child and takes the times --------------------

struct Run {
    double mainMs = 0;    // process start to main()
    double filledMs = 0;  // ... to the list model holding the book's lines
    double paintedMs = 0; // ... to the list painted with them
    double cpuMs = 0;     // the process's CPU time until then
    int lines = 0;
};

bool runChild(const std::string &self, const std::string &file, const std::vector<std::string> &env,
              const std::string &log, Run &run)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    std::vector<char *> envp;
    for (const std::string &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(self.c_str()), const_cast<char *>("--child"),
                    const_cast<char *>(file.c_str()), nullptr};

    pid_t pid = 0;
    const long long startNs = steadyNs();
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long mainNs = 0, filledNs = 0, paintedNs = 0, cpuNs = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0
        || std::sscanf(text.c_str(), "%lld %lld %lld %lld %d", &mainNs, &filledNs, &paintedNs,
                       &cpuNs, &run.lines)
            != 5)
        return false;
    run.cpuMs = double(cpuNs) / 1e6;
    run.mainMs = double(mainNs - startNs) / 1e6;
    run.filledMs = double(filledNs - startNs) / 1e6;
    run.paintedMs = double(paintedNs - startNs) / 1e6;
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int usage()
{
    std::fprintf(stderr, "usage: bench_launch [--runs N] [FILE]\n");
    return 2;
}

int parent(int argc, char **argv)
{
    int runs = 5;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
            if (runs < 1)
                return usage();
        } else if (argv[i][0] == '-' || !file.empty()) {
            return usage();
        } else {
            file = argv[i];
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_launch: no temporary folder\n");
        return 1;
    }
    if (file.empty()) {
        const QString path = dir.filePath(QStringLiteral("Address.ndb"));
        ScriptedPrompter prompter;
        if (writeNdbFile(path, generateBook(GeneratorOptions{.seed = 1, .cards = BookCards}),
                         prompter)
            != 0) {
            std::fprintf(stderr, "bench_launch: cannot write the benchmark book\n");
            return 1;
        }
        file = path.toStdString();
    } else {
        file = QDir(QDir::currentPath()).absoluteFilePath(QString::fromLocal8Bit(file.c_str()))
                   .toStdString();
    }

    // The child's environment: this one, offscreen, with its own settings.
    const std::string home = dir.path().toStdString();
    QDir(dir.path()).mkpath(QStringLiteral("config"));
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    QDir(dir.path()).mkpath(QStringLiteral("runtime"));
    chmod((home + "/runtime").c_str(), 0700);
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("QT_QPA_PLATFORM=", 0) != 0 && s.rfind("XDG_CONFIG_HOME=", 0) != 0
            && s.rfind("XDG_DATA_HOME=", 0) != 0 && s.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            env.push_back(s);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_CONFIG_HOME=" + home + "/config");
    env.push_back("XDG_DATA_HOME=" + home + "/data");
    env.push_back("XDG_RUNTIME_DIR=" + home + "/runtime");
    const std::string log = home + "/child.log";
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 1;
    self[n] = 0;

    std::printf("file: %s\n", file.c_str());
    std::vector<double> mains, filled, painted, cpus;
    for (int i = 0; i <= runs; ++i) {
        Run run;
        if (!runChild(self, file, env, log, run)) {
            QFile said(QString::fromStdString(log));
            said.open(QIODevice::ReadOnly);
            std::fprintf(stderr, "bench_launch: run %d failed; the child said:\n%s\n", i,
                         said.readAll().constData());
            return 1;
        }
        if (i == 0) {
            std::printf("warm-up: list shown after %.1f ms, %d lines\n", run.paintedMs, run.lines);
            continue;
        }
        std::printf("run %d: main %.1f ms, list model filled %.1f ms, list painted %.1f ms "
                    "(%d lines); CPU time %.1f ms\n",
                    i, run.mainMs, run.filledMs, run.paintedMs, run.lines, run.cpuMs);
        cpus.push_back(run.cpuMs);
        mains.push_back(run.mainMs);
        filled.push_back(run.filledMs);
        painted.push_back(run.paintedMs);
    }
    std::printf("median of %d runs, from the process start: main %.1f ms, list model filled "
                "%.1f ms, list painted %.1f ms; the child's CPU time until then %.1f ms\n",
                runs, median(mains), median(filled), median(painted), median(cpus));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        restartWithLargePages(argv); // as app/main.cpp does
        int childArgc = 1;
        return child(childArgc, argv, argv[2]);
    }
    return parent(argc, argv);
}
