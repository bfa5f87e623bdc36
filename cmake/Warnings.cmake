# Warnings on for our own code; kept clean.
add_compile_options(-Wall -Wextra -Wpedantic)
