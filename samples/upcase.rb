# Turns every line of the text into capitals (accented letters of the system's code page too).
ARGV.each { |line| puts line.upcase }
