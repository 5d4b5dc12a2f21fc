# Turns every line of a UTF-8 text into capitals (accented letters too), whatever the system's
# code page: the lines are read as UTF-8 first. Try it on document-utf8.txt.
ARGV.each { |line| puts line.dup.force_encoding("UTF-8").upcase }
