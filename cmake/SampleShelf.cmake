# Books made from samples/*.txt by pagora-book, placed beside the built reader
# so that it opens on a shelf with books. Each text file is one section; its
# first line is the section's title.
set(PAGORA_SAMPLE_BOOKS)

function(pagora_sample_book file encoding title)
  set(inputs)
  foreach(section ${ARGN})
    list(APPEND inputs ${CMAKE_SOURCE_DIR}/samples/${section}.txt)
  endforeach()
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${file}
    COMMAND pagora-book make --encoding ${encoding} --title ${title} -o ${CMAKE_BINARY_DIR}/${file} ${inputs}
    DEPENDS pagora-book ${inputs}
    COMMENT "Making sample book ${file}"
    VERBATIM)
  set(PAGORA_SAMPLE_BOOKS ${PAGORA_SAMPLE_BOOKS} ${CMAKE_BINARY_DIR}/${file} PARENT_SCOPE)
endfunction()

pagora_sample_book(lunyu.updb utf16 "論語" lunyu-1 lunyu-2 lunyu-3)
pagora_sample_book(daodejing.pdb cp950 "道德經" daodejing-1 daodejing-2 daodejing-3 daodejing-4)
pagora_sample_book(sanzijing.pdb cp950 "三字經" sanzijing-1 sanzijing-2 sanzijing-3)
pagora_sample_book(qianziwen.updb utf16 "千字文" qianziwen-1 qianziwen-2)

add_custom_target(sample_shelf ALL DEPENDS ${PAGORA_SAMPLE_BOOKS})
