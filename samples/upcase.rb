# Turns every line of the text into capitals (accented letters too).
ARGV.each { |line| puts line.upcase }
