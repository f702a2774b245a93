# Books made from samples/*.txt by pagora-book, placed beside the built reader
# so that it opens on a shelf with books.
add_custom_target(sample_shelf)
