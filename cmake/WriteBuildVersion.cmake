# cmake -DSOURCE_DIR=... -DGIT=... -DVERSION=... -DTEMPLATE=... -DOUTPUT=... -P WriteBuildVersion.cmake
# Writes the version header from TEMPLATE with VERSION and the checkout's commit (empty without
# git or outside a checkout, as in a source tarball); configure_file leaves OUTPUT untouched when
# nothing changed, so an unchanged commit rebuilds nothing.
set(CORV_GIT_COMMIT "")
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE commit RESULT_VARIABLE failed
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    set(CORV_GIT_COMMIT "${commit}")
    execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" status --porcelain --untracked-files=no
                    OUTPUT_VARIABLE changes RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed AND NOT changes STREQUAL "")
      string(APPEND CORV_GIT_COMMIT "-modified")
    endif()
  endif()
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
