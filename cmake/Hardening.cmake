# Hardening of the optimised builds, as Debian builds its packages:
# fortified C library calls, stack protector, position-independent
# executables and a read-only relocation table bound at start-up.
# Debug builds and the sanitizer build keep their own flags.

if(BRINDLE_FUZZ)
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(brindle_optimised "$<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>")
# _FORTIFY_SOURCE needs the optimiser; undefine first so a level set by the
# compiler's own defaults does not clash.
add_compile_options("$<${brindle_optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
                    "$<${brindle_optimised}:-fstack-protector-strong>")
add_link_options("$<${brindle_optimised}:LINKER:-z,relro;LINKER:-z,now>")
