# Copies SRC into folder DST when SRC exists (the movie may not be made yet).
if(EXISTS "${SRC}")
  file(COPY "${SRC}" DESTINATION "${DST}")
endif()
