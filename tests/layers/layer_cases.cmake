# The layer check against small trees of one source each: what a layer may include passes,
# each kind of violation fails and names the source.
#   cmake -DCHECK=<LayerCheck.cmake> -DQT_HEADERS=<Qt's include folder> -DWORK=<folder>
#         -P layer_cases.cmake
cmake_minimum_required(VERSION 3.25)

# <source>|<include line>|<pass or fail>
set(cases
    "platform/rtl/a.cpp|#include <QString>|pass"
    "platform/rtl/a.cpp|#include <QtCore/QDate>|pass"
    "platform/data/a.cpp|#include \"platform/rtl/classes.h\"|pass"
    "platform/data/a.cpp|#include <mysql.h>|pass"
    "platform/report/a.cpp|#include <QPrinter>|pass"
    "store/a.cpp|#include \"platform/report/frx_report.h\"|pass"
    "store/a.cpp|#include \"media.h\"|pass"
    "ui/a.cpp|#include <QMainWindow>|pass"
    "app/a.cpp|#include \"ui/main_frm.h\"|pass"
    "platform/rtl/a.cpp|#include <QWidget>|fail"
    "platform/rtl/a.cpp|  #  include <QtGui/QFont>|fail"
    "platform/data/a.h|#include <qimage.h>|fail"
    "platform/rtl/a.cpp|#include \"platform/data/myquery.h\"|pass"
    "platform/rtl/a.cpp|#include \"platform/report/ean8.h\"|fail"
    "platform/data/a.cpp|#include \"platform/vcl/forms.h\"|fail"
    "platform/vcl/a.cpp|#include \"store/media.h\"|fail"
    "platform/report/a.cpp|#include \"platform/vcl/forms.h\"|fail"
    "store/a.cpp|#include \"ui/main_frm.h\"|fail"
    "store/a.cpp|#include \"../ui/main_frm.h\"|fail"
    "store/a.cpp|#include \"platform/vcl/dialogs.h\"|fail"
    "store/a.cpp|#include <QDialog>|fail"
    "ui/a.cpp|#include \"app/entry.h\"|fail"
    "ui/a.cpp|#include \"tests/support/testdb.h\"|fail")

set(failures "")
set(n 0)
foreach(case IN LISTS cases)
  math(EXPR n "${n} + 1")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 source)
  list(GET parts 1 line)
  list(GET parts 2 expect)
  set(tree "${WORK}/case${n}")
  file(REMOVE_RECURSE "${tree}")
  # The headers that relative includes point to, and the source under test.
  file(WRITE "${tree}/ui/main_frm.h" "#pragma once\n")
  file(WRITE "${tree}/store/media.h" "#pragma once\n")
  file(WRITE "${tree}/${source}" "// case ${n}\n${line}\nint f();\n")
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${tree}" "-DQT_HEADERS=${QT_HEADERS}"
                          -P "${CHECK}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expect STREQUAL "pass" AND NOT rc EQUAL 0)
    list(APPEND failures "${source} with '${line}' was refused:\n${out}")
  elseif(expect STREQUAL "fail" AND rc EQUAL 0)
    list(APPEND failures "${source} with '${line}' passed")
  elseif(expect STREQUAL "fail" AND NOT out MATCHES "Layer violation:.*${source}: includes")
    list(APPEND failures "${source} with '${line}' failed without naming it:\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${n} cases")
