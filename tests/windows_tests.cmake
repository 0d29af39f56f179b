# The whole-program tests of the Windows build, each a run of
# windows_game_test.cmake; under wine when cross-built.
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/windows_game.cmake
     CONTENT "set(EMULATOR [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==])\nset(GAME [==[$<TARGET_FILE:gravemoor>]==])\n")

# windows_game(NAME name [ARGS ...] [OPTIONS -DKEY=VALUE ...])
function(windows_game name)
  cmake_parse_arguments(PARSE_ARGV 1 run "" "" "ARGS;OPTIONS")
  set(defines -DARGC=0)
  list(LENGTH run_ARGS argc)
  set(defines -DARGC=${argc})
  set(i 0)
  foreach(arg IN LISTS run_ARGS)
    math(EXPR i "${i} + 1")
    list(APPEND defines -DARG${i}=${arg})
  endforeach()
  add_test(NAME Windows.${name}
           COMMAND ${CMAKE_COMMAND} -DCONFIG=${CMAKE_CURRENT_BINARY_DIR}/windows_game.cmake
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/windows_runs -DCASE=${name} ${defines}
                   ${run_OPTIONS} -P ${CMAKE_CURRENT_SOURCE_DIR}/windows_game_test.cmake)
endfunction()

set(transcripts ${CMAKE_CURRENT_SOURCE_DIR}/transcripts)
set(ann_hex 416e6e0a) # "Ann\n"
# Every hand-checked transcript, with CR LF line breaks, the name ending at
# a CR LF as typed at a Windows console.
foreach(seed 0 1 3 4 5 20 212)
  windows_game(PlaysSeed${seed} ARGS ${seed}
               OPTIONS -DINPUT_HEX=416e6e0d0a -DEXPECT=${transcripts}/seed-${seed}.txt)
endforeach()
# Not exactly one argument: status 255, nothing read, nothing written.
windows_game(NoArgumentIs255 OPTIONS -DINPUT_HEX=${ann_hex} -DSTATUS=255)
windows_game(TwoArgumentsAre255 ARGS 1 2 OPTIONS -DINPUT_HEX=${ann_hex} -DSTATUS=255)
# A Ctrl-Z byte belongs to the name, as on POSIX; in text mode the runtime
# would end the input there and the name would be "Ann".
windows_game(NameWithCtrlZ ARGS 0
             OPTIONS -DINPUT_HEX=416e6e1a4c65650a -DNAME_HEX=416e6e1a4c6565
                     -DEXPECT=${transcripts}/seed-0.txt)
# Output that cannot be written is status 1 and one line that names why.
if(EXISTS /dev/full)
  windows_game(FullDiskIsAWriteError ARGS 0
               OPTIONS -DINPUT_HEX=${ann_hex} -DSTDOUT=full -DSTATUS=1
                       "-DERR=gravemoor: write error: No space left on device")
endif()
windows_game(GoneReaderIsABrokenPipe ARGS 0
             OPTIONS -DSTDOUT=gone_reader -DSTATUS=1 "-DERR=gravemoor: write error: Broken pipe")
