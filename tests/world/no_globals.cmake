# Fails when a simulation library keeps writable data of its own: every value
# a frame changes belongs in the World, where a copy saves it and a rollback
# puts it back. Constants (.rodata, .data.rel.ro) are fine.
# cmake -DOBJDUMP=... -DLIBS="a;b" -P no_globals.cmake
set(found "")
foreach(lib ${LIBS})
  execute_process(COMMAND ${OBJDUMP} -t -C ${lib} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${lib}")
  endif()
  string(REPLACE "\n" ";" lines "${out}")
  foreach(line IN LISTS lines)
    if(line MATCHES " O \\.(bss|data|tbss|tdata)" AND NOT line MATCHES " O \\.data\\.rel\\.ro"
       AND NOT line MATCHES "DW\\.ref\\.")
      get_filename_component(name ${lib} NAME)
      string(APPEND found "\n  ${name}: ${line}")
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "State outside the World (move it into World, or make it const):${found}")
endif()
message(STATUS "No writable data in: ${LIBS}")
