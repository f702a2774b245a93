# The look-up card's data: Unihan as Debian's unicode-data ships it, turned
# at build time into a sorted index beside the reader, so that the reader
# reads one small file on first use and never parses Unihan itself.
set(PAGORA_UNIHAN_DIR /usr/share/unicode CACHE PATH "Folder of the Unihan_*.txt.bz2 files")
set(PAGORA_CHARACTER_INDEX ${CMAKE_BINARY_DIR}/characters.idx)
find_package(BZip2)
set(unihan_files)
foreach(part Readings IRGSources Variants RadicalStrokeCounts)
  if(EXISTS ${PAGORA_UNIHAN_DIR}/Unihan_${part}.txt.bz2)
    list(APPEND unihan_files ${PAGORA_UNIHAN_DIR}/Unihan_${part}.txt.bz2)
  endif()
endforeach()
if(BZIP2_FOUND AND unihan_files)
  add_executable(make_character_index tools/unihan/make_character_index.cpp)
  target_link_libraries(make_character_index PRIVATE pagora_book BZip2::BZip2)
  add_custom_command(OUTPUT ${PAGORA_CHARACTER_INDEX}
    COMMAND make_character_index ${PAGORA_CHARACTER_INDEX} ${unihan_files}
    DEPENDS make_character_index ${unihan_files}
    COMMENT "Indexing Unihan for the look-up card")
  add_custom_target(character_index ALL DEPENDS ${PAGORA_CHARACTER_INDEX})
  add_dependencies(pagora character_index)
  add_dependencies(pagora-book character_index)
else()
  message(WARNING "Unihan (unicode-data) or libbz2 not found: the look-up card will say that its data is missing")
endif()
