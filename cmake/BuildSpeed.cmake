# What keeps a build of the whole tree short on a two-core machine:
#  - a faster linker (mold, else lld) when the tool chain has one;
#  - debug information in .dwo files beside the objects, which the linker
#    then never copies into the 60 MiB programs;
#  - one precompiled header of the Qt, standard and GoogleTest headers
#    that nearly every file includes, made once and reused by every target
#    (vartemo_use_precompiled_headers at the end of the top-level file);
#  - unity builds: a target's files compiled a batch at a time, so each
#    batch reads the headers once instead of once per file. A batch of
#    VARTEMO_UNITY_BATCH files keeps both cores busy on most targets.
# Each can be switched off; the build is the same without them, only slower.

option(VARTEMO_FAST_LINKER "Link with mold or lld when the tool chain has one" ON)
option(VARTEMO_SPLIT_DWARF "Keep debug information in .dwo files beside the objects" ON)
option(VARTEMO_PCH "Share one precompiled header of the Qt and standard headers" ON)
option(VARTEMO_UNITY "Compile the files of each target in batches (unity build)" ON)
set(VARTEMO_UNITY_BATCH 8 CACHE STRING "Files per batch of a unity build")

# Set before the targets exist, so every target of the tree takes it. The
# fuzz targets (clang, libFuzzer) stay file by file.
if(VARTEMO_UNITY AND NOT VARTEMO_FUZZ)
    set(CMAKE_UNITY_BUILD ON)
    set(CMAKE_UNITY_BUILD_BATCH_SIZE ${VARTEMO_UNITY_BATCH})
    # gcc takes every file of a batch but the batch's own for a header and
    # warns of each class in an anonymous namespace that another class
    # derives from (every test fixture). The file-by-file build keeps the
    # warning for real headers.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options($<$<BOOL:$<TARGET_PROPERTY:UNITY_BUILD>>:-Wno-subobject-linkage>)
    endif()
endif()

if(VARTEMO_FAST_LINKER AND NOT VARTEMO_FUZZ)
    include(CheckLinkerFlag)
    foreach(linker mold lld)
        check_linker_flag(CXX -fuse-ld=${linker} VARTEMO_HAVE_LINKER_${linker})
        if(VARTEMO_HAVE_LINKER_${linker})
            add_link_options(-fuse-ld=${linker})
            message(STATUS "Linker: ${linker}")
            break()
        endif()
    endforeach()
endif()

if(VARTEMO_SPLIT_DWARF AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options($<$<CONFIG:Debug,RelWithDebInfo>:-gsplit-dwarf>)
endif()

# The shared precompiled headers, each made once: the Qt core and standard
# headers for targets without widgets, those and the common widget headers
# for targets with widgets; the tests' two add GoogleTest. A
# smaller header is cheaper to load, which is most of what a small file
# costs. They are compiled without any QT_*_LIB definition, so that a target
# of any set of Qt modules can use them (gcc refuses a header made with a
# macro the user lacks, and says so: -Winvalid-pch keeps that visible).
set(VARTEMO_PCH_CORE
    <algorithm> <array> <chrono> <functional> <map> <memory> <optional> <set>
    <string> <utility> <vector>
    <QtCore/QByteArray> <QtCore/QCoreApplication> <QtCore/QDateTime> <QtCore/QDir>
    <QtCore/QElapsedTimer> <QtCore/QFile> <QtCore/QFileInfo> <QtCore/QHash>
    <QtCore/QList> <QtCore/QMap> <QtCore/QObject> <QtCore/QPointer>
    <QtCore/QProcess> <QtCore/QRegularExpression> <QtCore/QString>
    <QtCore/QStringList> <QtCore/QTemporaryDir> <QtCore/QThread> <QtCore/QTimer>
    <QtCore/QVariant>)
set(VARTEMO_PCH_WIDGETS
    <QtGui/QColor> <QtGui/QFont> <QtGui/QImage> <QtGui/QPainter>
    <QtWidgets/QApplication> <QtWidgets/QBoxLayout> <QtWidgets/QCheckBox>
    <QtWidgets/QComboBox> <QtWidgets/QDialog> <QtWidgets/QGroupBox>
    <QtWidgets/QLabel> <QtWidgets/QLineEdit> <QtWidgets/QMessageBox>
    <QtWidgets/QPushButton> <QtWidgets/QWidget>)

function(vartemo_add_pch_donor name)
    cmake_parse_arguments(D "" "" "HEADERS;LIBS" ${ARGN})
    set(source ${CMAKE_BINARY_DIR}/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// The precompiled header's own target.\n")
    add_library(${name} STATIC ${source})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
    target_include_directories(${name} SYSTEM PRIVATE
        $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} PRIVATE $<$<NOT:$<CONFIG:Debug>>:QT_NO_DEBUG>)
    target_link_libraries(${name} PRIVATE ${D_LIBS})
    target_precompile_headers(${name} PRIVATE ${D_HEADERS})
endfunction()

# Whether a target links Qt's widgets, directly or through the libraries it links.
function(vartemo_links_widgets target result)
    set(found FALSE)
    set(seen)
    set(queue ${target})
    while(queue AND NOT found)
        list(POP_FRONT queue item)
        if(item IN_LIST seen OR NOT TARGET ${item})
            continue()
        endif()
        list(APPEND seen ${item})
        if(item STREQUAL "Qt6::Widgets")
            set(found TRUE)
            break()
        endif()
        get_target_property(imported ${item} IMPORTED)
        if(imported)
            continue()
        endif()
        get_target_property(links ${item} LINK_LIBRARIES)
        if(links)
            list(APPEND queue ${links})
        endif()
    endwhile()
    set(${result} ${found} PARENT_SCOPE)
endfunction()

# Every C++ target of the tree takes one of the shared headers.
# gcc only: clang refuses a header whose macros differ from the user's.
function(vartemo_use_precompiled_headers)
    if(NOT VARTEMO_PCH OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        return()
    endif()
    vartemo_add_pch_donor(vartemo_pch_core HEADERS ${VARTEMO_PCH_CORE})
    vartemo_add_pch_donor(vartemo_pch_widgets HEADERS ${VARTEMO_PCH_CORE} ${VARTEMO_PCH_WIDGETS})
    if(VARTEMO_TESTS)
        vartemo_add_pch_donor(vartemo_pch_core_tests
            HEADERS ${VARTEMO_PCH_CORE} <gtest/gtest.h> LIBS GTest::gtest)
        vartemo_add_pch_donor(vartemo_pch_widgets_tests
            HEADERS ${VARTEMO_PCH_CORE} ${VARTEMO_PCH_WIDGETS} <gtest/gtest.h> LIBS GTest::gtest)
    endif()
    vartemo_pch_folder(${CMAKE_SOURCE_DIR})
endfunction()

function(vartemo_pch_folder folder)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$" OR target MATCHES "^vartemo_pch_")
            continue()
        endif()
        get_target_property(target_folder ${target} SOURCE_DIR)
        set(donor vartemo_pch_core)
        vartemo_links_widgets(${target} widgets)
        if(widgets)
            set(donor vartemo_pch_widgets)
        endif()
        if(target_folder MATCHES "^${CMAKE_SOURCE_DIR}/tests" AND VARTEMO_TESTS)
            string(APPEND donor _tests)
        endif()
        target_precompile_headers(${target} REUSE_FROM ${donor})
        # The moc files are included by the sources they belong to, so the
        # target's own moc unit is empty: loading the 200 MB header (and
        # writing its debug information) would be all it does.
        get_target_property(automoc ${target} AUTOMOC)
        if(automoc)
            get_target_property(binary_folder ${target} BINARY_DIR)
            set_source_files_properties(${binary_folder}/${target}_autogen/mocs_compilation.cpp
                DIRECTORY ${target_folder} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(subfolder ${subfolders})
        if(NOT subfolder MATCHES "/fuzz$")
            vartemo_pch_folder(${subfolder})
        endif()
    endforeach()
endfunction()
