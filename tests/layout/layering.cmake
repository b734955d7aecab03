# The layers' include rules, checked over the source tree:
#   every room but shell/ and platform/win32/ is portable: no <windows.h>
#   and nothing of platform/win32/;
#   the rooms stand in floors, shell/ over app/ over stamping/, cardcopy/ and
#   cardorder/ over folderlist/, settings/ and cardslots/, folderlist/ and
#   settings/ over capturetime/, all over platform/, and no room includes
#   one on a floor above its own; cardcopy/ and cardorder/ stand side by
#   side and include nothing of each other;
#   cardslots/ stands on the platform/ interfaces alone;
#   folderlist/ computes only: not even the window system's interface,
#   platform/ui.h;
#   capturetime/ reads files and computes: no window system either.
# Run as: cmake -DSOURCE_DIR=<src> -P layering.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(faults "")
function(check_folder folder pattern what)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  if(NOT files)
    set(faults "${faults}\n  ${folder}/ holds no sources" PARENT_SCOPE)
    return()
  endif()
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      string(TOLOWER "${line}" lower)
      if(lower MATCHES "${pattern}")
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
        set(faults "${faults}\n  ${name}: ${line} (${what})")
      endif()
    endforeach()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

set(windows_header "[<\"](windows\\.h|platform/win32/)")
foreach(folder app folderlist capturetime stamping settings cardcopy cardorder cardslots)
  check_folder(${folder} "${windows_header}" "portable code")
endforeach()
check_folder(app "[<\"]shell/" "a floor above")
foreach(folder stamping cardcopy cardorder)
  check_folder(${folder} "[<\"](shell|app)/" "a floor above")
endforeach()
check_folder(cardcopy "[<\"]cardorder/" "a room beside")
check_folder(cardorder "[<\"]cardcopy/" "a room beside")
check_folder(cardslots
  "[<\"](shell|app|stamping|cardcopy|cardorder|folderlist|settings|capturetime)/"
  "a floor above")
foreach(folder folderlist settings)
  check_folder(${folder} "[<\"](shell|app|stamping|cardcopy|cardorder|cardslots)/" "a floor above")
endforeach()
check_folder(capturetime
  "[<\"](shell|app|stamping|cardcopy|cardorder|cardslots|folderlist|settings)/" "a floor above")
check_folder(platform
  "[<\"](shell|app|stamping|cardcopy|cardorder|cardslots|folderlist|settings|capturetime)/"
  "a floor above")
check_folder(folderlist "[<\"]platform/ui\\.h" "the list model only computes")
check_folder(capturetime "[<\"]platform/(ui|copy_ui)\\.h" "capture times only read and compute")

if(faults)
  message(FATAL_ERROR "Includes that break the layers:${faults}")
endif()
message(STATUS "The layers' includes hold.")
