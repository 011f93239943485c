# velm_host_command(<variable> <target>) sets <variable> to a path that starts
# the program <target> on the build machine, for tests that run a program by
# path (shell scripts, cmake -P scripts, the tests' own child processes).
# Natively that is the program itself. In a cross build it is a small script,
# <build>/host-command/<target>, that runs the program through
# CMAKE_CROSSCOMPILING_EMULATOR (qemu-user, wine) with the arguments it is
# given; exec keeps the process id and the exit status, signals included.
# (ctest itself puts the emulator before a test whose command is a target.)
function(velm_host_command variable target)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(${variable} $<TARGET_FILE:${target}> PARENT_SCOPE)
    return()
  endif()
  set(path ${PROJECT_BINARY_DIR}/host-command/${target})
  get_property(made GLOBAL PROPERTY VELM_HOST_COMMAND_${target})
  if(NOT made)
    # The emulator by its full path: tests run the program with PATH changed.
    set(emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
    list(POP_FRONT emulator program)
    find_program(VELM_EMULATOR_PATH_${target} ${program} NO_CACHE)
    if(VELM_EMULATOR_PATH_${target})
      set(program ${VELM_EMULATOR_PATH_${target}})
    endif()
    set(script "#!/bin/sh\nexec")
    foreach(word IN ITEMS ${program} LISTS emulator)
      string(APPEND script " '${word}'")
    endforeach()
    string(APPEND script " '$<TARGET_FILE:${target}>' \"$@\"\n")
    file(GENERATE OUTPUT ${path} CONTENT "${script}"
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                       WORLD_READ WORLD_EXECUTE)
    set_property(GLOBAL PROPERTY VELM_HOST_COMMAND_${target} TRUE)
  endif()
  set(${variable} ${path} PARENT_SCOPE)
endfunction()
