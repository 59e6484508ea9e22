# Gives a Windows program the manifest that makes its code page UTF-8, as vellum.exe's own
# manifest does: the toolkit's string helpers convert with the process's code page, so a program
# that shares them must share the code page to pass names in any script.
set(VELLUM_UTF8_MANIFEST_RC ${CMAKE_CURRENT_LIST_DIR}/utf8/utf8_code_page.rc)
set(VELLUM_UTF8_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/utf8/utf8_code_page.manifest)

function(vellum_utf8_code_page target)
    if(WIN32)
        target_sources(${target} PRIVATE ${VELLUM_UTF8_MANIFEST_RC})
        # CMake does not see the manifest behind the resource script.
        set_source_files_properties(${VELLUM_UTF8_MANIFEST_RC} TARGET_DIRECTORY ${target}
            PROPERTIES OBJECT_DEPENDS ${VELLUM_UTF8_MANIFEST})
    endif()
endfunction()
