# Unity builds, when TESSARINE_UNITY is on (scripts/test.sh turns it on): a source file costs 10 to
# 15 s or so, most of it in the Qt, GoogleTest, JSON and project headers every file parses again,
# and eight files in one unit cost about what two do apart. Units of up to 32 files: against units
# of eight, the libraries of the application build in 42 % less processor time (609 s against
# 353 s), which is what a 2-core machine waits for. The largest unit needs about 2.2 GB to compile
# under AddressSanitizer.
#
# A file's unit is chosen by a hash of its name, and the number of units doubles as a target grows,
# which only ever splits a unit in two: adding a file never puts two existing files together. So two
# files only meet when a new one lands, and names at file scope (helpers in the anonymous namespace)
# have to differ only within a unit; the build says which when they don't.
option(TESSARINE_UNITY "Compile the libraries and test programs as unity builds" OFF)

# tessarine_unity(target [pattern]): groups the target's .cpp files whose names match pattern
# (every .cpp file by default) into units of up to 32; the other files compile alone.
function(tessarine_unity target)
  if(NOT TESSARINE_UNITY)
    return()
  endif()
  set(_pattern "\\.cpp$")
  if(ARGC GREATER 1)
    set(_pattern "${ARGV1}")
  endif()
  get_target_property(_sources ${target} SOURCES)
  set(_grouped)
  foreach(_source ${_sources})
    if(_source MATCHES "${_pattern}")
      list(APPEND _grouped ${_source})
    endif()
  endforeach()
  list(LENGTH _grouped _count)
  set(_units 1)
  while(_units LESS 64)
    math(EXPR _limit "${_units} * 32")
    if(_count LESS_EQUAL _limit)
      break()
    endif()
    math(EXPR _units "${_units} * 2")
  endwhile()
  foreach(_source ${_grouped})
    get_filename_component(_name ${_source} NAME)
    string(MD5 _hash "${_name}")
    string(SUBSTRING "${_hash}" 0 6 _hex)
    math(EXPR _unit "0x${_hex} % ${_units}")
    set_property(SOURCE ${_source} TARGET_DIRECTORY ${target} PROPERTY UNITY_GROUP "${target}_${_unit}")
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  # A type in one file's anonymous namespace looks, to GCC, like one from an included header.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
endfunction()
