# The FTP tests run against a real pyftpdlib server on 127.0.0.1. Its
# interpreter is found here: a python3 that imports pyftpdlib (Debian's
# python3-pyftpdlib). Without one the tests fail and say so.
set(VARTEMO_FTP_PYTHON "")
foreach(candidate /usr/bin/python3 python3)
    find_program(_python_${candidate} NAMES ${candidate} NO_CACHE)
    set(_python ${_python_${candidate}})
    if(_python AND NOT VARTEMO_FTP_PYTHON)
        execute_process(COMMAND ${_python} -c "import pyftpdlib"
                        RESULT_VARIABLE _imports OUTPUT_QUIET ERROR_QUIET)
        if(_imports EQUAL 0)
            set(VARTEMO_FTP_PYTHON ${_python})
        endif()
    endif()
endforeach()
if(NOT VARTEMO_FTP_PYTHON)
    message(WARNING "No python3 with pyftpdlib: the FTP tests will fail (install python3-pyftpdlib)")
endif()
