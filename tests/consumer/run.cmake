# cmake -P run.cmake: builds tests/consumer against this build of ZdReport and
# runs it. MODE=installed installs the build tree ZD_BUILD into a staging
# prefix and finds the package there; MODE=subdirectory builds the checkout
# ZD_SOURCE with add_subdirectory() (with Ninja: compiles only, see below). The
# consumer's build tree under WORK is kept, so a second run builds little.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}")
  endif()
endfunction()

set(options -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DCMAKE_CXX_COMPILER=${CXX})
if(LAUNCHER)
  list(APPEND options -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
if(MODE STREQUAL "installed")
  file(REMOVE_RECURSE ${WORK}/stage)
  run(${CMAKE_COMMAND} --install ${ZD_BUILD} --prefix ${WORK}/stage)
  list(APPEND options -DCMAKE_PREFIX_PATH=${WORK}/stage)
elseif(MODE STREQUAL "subdirectory")
  list(APPEND options -DZD_CHECKOUT=${ZD_SOURCE})
else()
  message(FATAL_ERROR "MODE must be installed or subdirectory")
endif()
run(${CMAKE_COMMAND} -S ${ZD_SOURCE}/tests/consumer -B ${WORK}/build ${options})
if(MODE STREQUAL "subdirectory" AND GENERATOR STREQUAL "Ninja")
  # Linking and running are proven by the installed variant; compiling the
  # consumer and one library source in the embedded tree shows the include
  # paths and generated headers work from there, without building the whole
  # library a second time.
  run(${CMAKE_COMMAND} --build ${WORK}/build --target CMakeFiles/consumer.dir/main.cpp.o
      zdreport/CMakeFiles/zdreportmodel.dir/report/model/ZdReport.cpp.o)
  return()
endif()
run(${CMAKE_COMMAND} --build ${WORK}/build --target consumer consumer_designer)
file(REMOVE ${WORK}/report.csv)
run(${WORK}/build/consumer ${WORK}/report.csv)
run(${WORK}/build/consumer_designer)
