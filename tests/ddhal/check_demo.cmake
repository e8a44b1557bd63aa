# Runs vortal-demo with --registers and checks its listing and its pictures: every step names
# itself, the flips move the primary stream, the overlay step loads the quarter-size YUY2 overlay's
# registers in order, and each step left a frame picture (the overlay step also its window). Then:
# a failing driver call ends the run with status 1, and a copy of the demo loads the driver from
# its own folder.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${DEMO} --registers --out ${OUT} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vortal-demo failed (${rc}):\n${listing}")
endif()
set(expected_overlay "step 6: overlay
0x81A0=0x05000000
0x8184=0x14F800F8
0x8194=0x00F800F8
0x81D0=0x[0-9A-F]+
0x81F8=0x00010001
0x81FC=0x027F01E0
0x81D8=0x02800500
0x8190=0x21000FFF
0x8198=0x06C0013F
0x81E0=0x000000EF
0x81E4=0x00000710
0x81E8=0x00000E21
0x8184=0x17F800F8
0x8194=0x00F800F8
0x81A0=0x05000000
0x81EC=0x0005294C
$")
foreach(pattern "^step 1: fill\nstep 2: blits\nstep 3: scroll\nstep 4: flip-to-back\n0x81C0=0x000AA000\nstep 5: flip-to-front\n0x81C0=0x00000000\n"
                "${expected_overlay}")
  if(NOT listing MATCHES "${pattern}")
    message(FATAL_ERROR "listing does not match:\n${pattern}\n--- got:\n${listing}")
  endif()
endforeach()
foreach(png 01-fill-frame 02-blits-frame 03-scroll-frame 04-flip-to-back-frame 05-flip-to-front-frame
            06-overlay-frame 06-overlay-overlay)
  if(NOT EXISTS ${OUT}/${png}.png)
    message(FATAL_ERROR "missing ${png}.png")
  endif()
endforeach()

# Too little video memory for the back buffer: CreateSurface fails and so does the demo.
execute_process(COMMAND ${DEMO} --video-memory 1024 --out ${OUT}/small RESULT_VARIABLE rc ERROR_VARIABLE err
                OUTPUT_QUIET)
if(NOT rc EQUAL 1 OR NOT err MATCHES "step 4 \\(flip-to-back\\): CreateSurface answered 0x8007000E")
  message(FATAL_ERROR "a failing call gave status ${rc}:\n${err}")
endif()

# A copy of the demo without the driver beside it fails; with it, it runs.
file(MAKE_DIRECTORY ${OUT}/copy)
file(COPY ${DEMO} DESTINATION ${OUT}/copy)
get_filename_component(name ${DEMO} NAME)
execute_process(COMMAND ${OUT}/copy/${name} --out ${OUT}/copy/out RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 1 OR NOT err MATCHES "${OUT}/copy/libVortal32.so")
  message(FATAL_ERROR "the copied demo without its driver gave status ${rc}:\n${err}")
endif()
file(COPY ${LIBRARY} ${HOST} DESTINATION ${OUT}/copy)
execute_process(COMMAND ${OUT}/copy/${name} --out ${OUT}/copy/out RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 0 OR NOT EXISTS ${OUT}/copy/out/06-overlay-frame.png)
  message(FATAL_ERROR "the copied demo with its driver gave status ${rc}:\n${err}")
endif()
