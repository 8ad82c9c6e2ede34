# One sanitizer setting for the whole tree, so libraries, tools and tests agree.
if(ETHCONF_SANITIZE)
  add_compile_options(-fsanitize=${ETHCONF_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ETHCONF_SANITIZE})
endif()
