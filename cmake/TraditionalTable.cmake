# The Simplified to Traditional table: the conversion tables of libopencc-data
# (turned to text by opencc_dict), Rime's word list with its weights, and the
# context counts learnt from classical text (data/convert, made by
# tools/convert/learn_context.py), compiled at build time into one file that
# the converter maps. Found beside the programs in a build, installed under
# share/pagora.
set(PAGORA_OPENCC_DICT_DIR /usr/share/opencc CACHE PATH "Folder of the conversion tables (*.ocd2)")
set(PAGORA_WORD_LIST /usr/share/rime-data/build/luna_pinyin.table.txt CACHE FILEPATH "Rime's word list with weights")
set(PAGORA_TRADITIONAL_TABLE ${CMAKE_BINARY_DIR}/traditional.tbl)
find_program(OPENCC_DICT opencc_dict)
set(convert_dicts STCharacters STPhrases TSCharacters TWPhrases TWVariants)
set(convert_sources)
foreach(d ${convert_dicts})
  list(APPEND convert_sources ${PAGORA_OPENCC_DICT_DIR}/${d}.ocd2)
endforeach()
set(have_dicts TRUE)
foreach(f ${convert_sources})
  if(NOT EXISTS ${f})
    set(have_dicts FALSE)
  endif()
endforeach()
if(OPENCC_DICT AND have_dicts)
  add_executable(make_traditional_table tools/convert/make_traditional_table.cpp)
  target_link_libraries(make_traditional_table PRIVATE pagora_warnings)
  target_include_directories(make_traditional_table PRIVATE ${CMAKE_SOURCE_DIR}/src/text/include)
  set(dict_dir ${CMAKE_BINARY_DIR}/convert)
  set(dict_commands)
  foreach(d ${convert_dicts})
    list(APPEND dict_commands COMMAND ${OPENCC_DICT} -i ${PAGORA_OPENCC_DICT_DIR}/${d}.ocd2 -o ${dict_dir}/${d}.txt
         -f ocd2 -t text)
  endforeach()
  set(word_list)
  if(EXISTS ${PAGORA_WORD_LIST})
    set(word_list ${PAGORA_WORD_LIST})
  else()
    message(WARNING "Rime's word list (rime-data-luna-pinyin) not found: Simplified to Traditional picks worse")
  endif()
  # Copies beside the tests, benchmarks and fuzzers, which look beside themselves.
  set(table_copies)
  foreach(sub tests bench fuzz)
    list(APPEND table_copies COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${sub}
         COMMAND ${CMAKE_COMMAND} -E copy ${PAGORA_TRADITIONAL_TABLE} ${CMAKE_BINARY_DIR}/${sub}/traditional.tbl)
  endforeach()
  add_custom_command(OUTPUT ${PAGORA_TRADITIONAL_TABLE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dict_dir}
    ${dict_commands}
    COMMAND make_traditional_table ${PAGORA_TRADITIONAL_TABLE} ${dict_dir}
            ${CMAKE_SOURCE_DIR}/data/convert/context.txt ${CMAKE_SOURCE_DIR}/data/convert/classical_phrases.txt
            ${word_list}
    ${table_copies}
    DEPENDS make_traditional_table ${convert_sources} ${CMAKE_SOURCE_DIR}/data/convert/context.txt
            ${CMAKE_SOURCE_DIR}/data/convert/classical_phrases.txt ${word_list}
    COMMENT "Compiling the Simplified to Traditional table")
  add_custom_target(traditional_table ALL DEPENDS ${PAGORA_TRADITIONAL_TABLE})
  add_dependencies(pagora-book traditional_table)
else()
  message(WARNING "opencc_dict (opencc) or the tables of libopencc-data not found: no Simplified to Traditional")
endif()
