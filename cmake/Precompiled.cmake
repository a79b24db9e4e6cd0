# Precompiled headers: the Qt, GoogleTest and standard headers that nearly
# every file includes, parsed once per build instead of once per file.
#
# Only headers from outside the tree go in: they never change between
# builds, so an edit to a project header rebuilds just the files that
# include it, and a file that forgets an include still fails to compile
# with BRINDLE_PCH=OFF (do a build so before committing a new file).
# Logic libraries get QtCore only, never a widget header.
#
# brindle_pch_host(<target> <set>)
#   Precompiles the headers of <set> (QTCORE, WIDGETS, CORE_TESTS, GUI_TESTS
#   or BENCH) for <target>.
# brindle_pch_reuse(<target> <host>)
#   <target> uses the precompiled headers of <host> instead of its own:
#   one compilation per build. Only for targets compiled with the host's
#   definitions and options; GCC quietly parses the headers again when they
#   differ, clang stops with an error. Libraries and programs may share: Qt
#   puts -fPIC last on both command lines.
#
# With ccache as the compiler launcher, ccache caches the files that use a
# precompiled header only with sloppiness pch_defines,time_macros (and, for
# clang, a header built with -fno-pch-timestamp); both are arranged here, on
# top of the sloppiness ccache is configured with.

option(BRINDLE_PCH "Precompile the Qt, GoogleTest and standard headers" ON)

set(BRINDLE_PCH_QTCORE
    <algorithm> <functional> <memory> <optional> <utility> <vector>
    <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QMap> <QObject> <QSet> <QString> <QStringList> <QVariant>)
set(BRINDLE_PCH_WIDGETS ${BRINDLE_PCH_QTCORE}
    <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QGridLayout>
    <QGroupBox> <QHBoxLayout> <QKeyEvent> <QLabel> <QLineEdit> <QListWidget>
    <QMenu> <QPlainTextEdit> <QPushButton> <QRadioButton> <QStyle> <QTimer>
    <QToolButton> <QVBoxLayout> <QWidget>)
set(BRINDLE_PCH_CORE_TESTS ${BRINDLE_PCH_QTCORE}
    <QProcess> <QRegularExpression> <QTemporaryDir> <gtest/gtest.h>)
set(BRINDLE_PCH_BENCH ${BRINDLE_PCH_QTCORE} <benchmark/benchmark.h>)
set(BRINDLE_PCH_GUI_TESTS ${BRINDLE_PCH_WIDGETS}
    <QTemporaryDir> <QTest> <gtest/gtest.h>)

if(BRINDLE_PCH AND CMAKE_CXX_COMPILER_LAUNCHER)
    list(GET CMAKE_CXX_COMPILER_LAUNCHER 0 brindle_launcher)
    get_filename_component(brindle_launcher_name "${brindle_launcher}" NAME)
    find_program(BRINDLE_ENV env)
    if(brindle_launcher_name STREQUAL "ccache" AND BRINDLE_ENV)
        execute_process(COMMAND ${brindle_launcher} --get-config sloppiness
                        OUTPUT_VARIABLE sloppiness OUTPUT_STRIP_TRAILING_WHITESPACE
                        ERROR_QUIET)
        string(REPLACE "," ";" sloppiness "${sloppiness}")
        list(APPEND sloppiness pch_defines time_macros)
        list(REMOVE_ITEM sloppiness "")
        list(REMOVE_DUPLICATES sloppiness)
        string(JOIN "," sloppiness ${sloppiness})
        # A directory variable: it shadows the cache entry the user set and
        # reaches every target declared after this point.
        set(CMAKE_CXX_COMPILER_LAUNCHER
            ${BRINDLE_ENV} CCACHE_SLOPPINESS=${sloppiness} ${CMAKE_CXX_COMPILER_LAUNCHER})
    endif()
endif()

function(brindle_pch_host target set)
    if(NOT BRINDLE_PCH)
        return()
    endif()
    if(NOT DEFINED BRINDLE_PCH_${set})
        message(FATAL_ERROR "brindle_pch_host: no header set ${set}")
    endif()
    target_precompile_headers(${target} PRIVATE ${BRINDLE_PCH_${set}})
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # No modification times in the header: the same inputs give the
        # same bytes, which ccache needs to reuse it.
        target_compile_options(${target} PRIVATE
            "SHELL:-Xclang -fno-pch-timestamp")
    endif()
endfunction()

function(brindle_pch_reuse target host)
    if(BRINDLE_PCH)
        target_precompile_headers(${target} REUSE_FROM ${host})
    endif()
endfunction()
